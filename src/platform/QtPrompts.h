#pragma once
// Prompts shown with Qt's message boxes and file dialogs.

#include "platform/Prompts.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QtPrompts final : public Prompts {
public:
    Answer ask(Kind kind, const QString& text, Buttons buttons) override;
    QStringList openFiles(const FileDialog& dialog) override;
    QString saveFile(const FileDialog& dialog) override;
    QString saveFileWithFilter(const FileDialog& dialog, int& chosenFilter) override;
    QString pickFolder(const QString& title, const QString& directory) override;

    // Start-up: from now on plain messages (an OK button only) wait instead
    // of appearing with nothing behind them, and ask() answers them Ok at
    // once. Questions are still asked at once: their answer is needed now.
    void holdMessages();
    // Ends the hold: the waiting messages appear one after another, centred
    // over window (the main window, now on screen).
    void showHeldMessages(QWidget* window);

private:
    Answer showBox(Kind kind, const QString& text, Buttons buttons);

    struct Held {
        Kind kind;
        QString text;
    };
    bool holding_ = false;
    QList<Held> held_;
    QPointer<QWidget> over_;  // while set, boxes are centred over it
};
