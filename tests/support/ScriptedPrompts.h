#pragma once
// Prompts for tests: answers come from a script (a queue), every call is
// recorded. An unscripted question gets the default answer (Cancel, No or Ok)
// so a forgotten answer shows up as a failed expectation, never as a hang.

#include "platform/Prompts.h"

#include <QList>
#include <QQueue>

class ScriptedPrompts final : public Prompts {
public:
    struct Asked {
        Kind kind;
        QString text;
        Buttons buttons;
    };

    ScriptedPrompts();   // installs itself
    ~ScriptedPrompts() override;  // restores the previous prompts

    // Scripts the answers of the next questions, in order.
    void answer(Answer a) { answers.enqueue(a); }
    void answerOpen(const QStringList& files) { openAnswers.enqueue(files); }
    void answerSave(const QString& file) { saveAnswers.enqueue(file); }
    void answerFolder(const QString& folder) { folderAnswers.enqueue(folder); }
    // The filter the next save dialog reports as chosen; unscripted, the preselected one.
    void answerSaveFilter(int index) { saveFilterAnswers.enqueue(index); }

    Answer ask(Kind kind, const QString& text, Buttons buttons) override;
    QStringList openFiles(const FileDialog& dialog) override;
    QString saveFile(const FileDialog& dialog) override;
    QString saveFileWithFilter(const FileDialog& dialog, int& chosenFilter) override;
    QString pickFolder(const QString& title, const QString& directory) override;

    // The texts of every message box shown so far.
    QStringList texts() const;
    void clear();

    QList<Asked> asked;
    QList<FileDialog> openDialogs;
    QList<FileDialog> saveDialogs;
    QStringList folderDialogs;

private:
    QQueue<Answer> answers;
    QQueue<QStringList> openAnswers;
    QQueue<QString> saveAnswers;
    QQueue<QString> folderAnswers;
    QQueue<int> saveFilterAnswers;
    Prompts* previous_ = nullptr;
};
