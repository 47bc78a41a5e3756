#pragma once
// Prompts shown with Qt's message boxes and file dialogs.

#include "platform/Prompts.h"

class QtPrompts final : public Prompts {
public:
    Answer ask(Kind kind, const QString& text, Buttons buttons) override;
    QStringList openFiles(const FileDialog& dialog) override;
    QString saveFile(const FileDialog& dialog) override;
    QString saveFileWithFilter(const FileDialog& dialog, int& chosenFilter) override;
    QString pickFolder(const QString& title, const QString& directory) override;
};
