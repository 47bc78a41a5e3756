#pragma once
// Shared pieces of the main-window tests: a shown TForm1 on the offscreen
// platform, sine files written on the fly, and a bounded wait.

#include "ScriptedPrompts.h"
#include "mainwindow/uMain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Writes a 16-bit stereo 44.1 kHz WAV of a 440 Hz sine at -6 dBFS.
void WriteSineWav(const QString& path, double seconds);

// Runs the event loop until done() holds or timeoutMs pass; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A sine file of the given length in the test's own folder.
    QString SineFile(const QString& name, double seconds);
    double PositionSeconds() const;

    QTemporaryDir dir;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<TForm1> form;
};

// The same with the library's untimed null output, so a track ends in
// milliseconds.
class UntimedMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;
};
