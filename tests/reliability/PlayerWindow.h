#pragma once
// The player's two windows for the fault and long-run tests: TForm1 with its
// playlist window on the null audio output, every prompt scripted, and files
// in a private folder.
#include "ScriptedPrompts.h"
#include "mainwindow/uMain.h"
#include "playlist/uList.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>

class QAbstractButton;

// Runs the event loop until done() holds or timeoutMs pass; returns done().
bool RunUntil(const std::function<bool()>& done, int timeoutMs);

class PlayerWindow {
public:
    // untimed: the null output runs back to back, so a file plays in moments;
    // otherwise at the pace of a sound card.
    explicit PlayerWindow(bool untimed);
    ~PlayerWindow();

    TForm1& form() { return *form_; }
    TfrmList& list() { return *frmList(); }
    ScriptedPrompts& prompts() { return *prompts_; }

    // A click delivered through the application, as the user's is: an error
    // the handler raises reaches the application's error report (a prompt).
    static void click(QAbstractButton* button);
    // Asks the main window to close as the title bar's close button does;
    // true when it closed.
    bool closeWindow();
    // The error messages shown so far.
    QStringList errors() const;
    // The play position of the loaded file in seconds.
    double position() const;

private:
    std::unique_ptr<ScriptedPrompts> prompts_;
    std::unique_ptr<TForm1> form_;
};
