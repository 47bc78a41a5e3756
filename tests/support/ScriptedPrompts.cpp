#include "ScriptedPrompts.h"

ScriptedPrompts::ScriptedPrompts() : previous_(setPrompts(this)) {}

ScriptedPrompts::~ScriptedPrompts() { setPrompts(previous_); }

Prompts::Answer ScriptedPrompts::ask(Kind kind, const QString& text, Buttons buttons) {
    asked.append({kind, text, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    default: return Answer::Cancel;
    }
}

QStringList ScriptedPrompts::openFiles(const FileDialog& dialog) {
    openDialogs.append(dialog);
    return openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
}

QString ScriptedPrompts::saveFile(const FileDialog& dialog) {
    saveDialogs.append(dialog);
    return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

QString ScriptedPrompts::saveFileWithFilter(const FileDialog& dialog, int& chosenFilter) {
    chosenFilter = saveFilterAnswers.isEmpty() ? dialog.filterIndex : saveFilterAnswers.dequeue();
    return saveFile(dialog);
}

QString ScriptedPrompts::pickFolder(const QString& title, const QString& directory) {
    folderDialogs.append(title + "|" + directory);
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

QStringList ScriptedPrompts::texts() const {
    QStringList result;
    for (const Asked& a : asked)
        result << a.text;
    return result;
}

void ScriptedPrompts::clear() {
    asked.clear();
    openDialogs.clear();
    saveDialogs.clear();
    folderDialogs.clear();
    answers.clear();
    openAnswers.clear();
    saveAnswers.clear();
    folderAnswers.clear();
}
