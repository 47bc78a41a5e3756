#pragma once
// Every question, notice and file dialog reaches the user through Prompts.
// The program installs QtPrompts; tests install a scripted implementation that
// answers and records, so no test ever blocks on a modal dialog.
// All calls come from the GUI thread.

#include <QString>
#include <QStringList>

class Prompts {
public:
    enum class Kind { Information, Warning, Error, Confirmation };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileDialog {
        QString title;
        QStringList filters;     // "All Supported Files (*.mp3 *.wav)", ...
        int filterIndex = 0;     // the preselected filter, 0 based
        QString directory;       // initial folder; empty = the dialog's choice
        QString fileName;        // proposed name (save dialogs)
        QString defaultSuffix;   // added when the typed name has none ("vpl")
        bool multiSelect = false;
        bool confirmOverwrite = true;
    };

    virtual ~Prompts() = default;

    // A modal message box centred on the screen. Returns the button chosen;
    // closing the box counts as Cancel (or No for Yes/No, Ok for Ok).
    virtual Answer ask(Kind kind, const QString& text, Buttons buttons) = 0;
    // Open dialog: the chosen files, empty on cancel.
    virtual QStringList openFiles(const FileDialog& dialog) = 0;
    // Save dialog: the chosen file, empty on cancel.
    virtual QString saveFile(const FileDialog& dialog) = 0;
    // Save dialog that also tells which filter was chosen (an index into
    // dialog.filters). This default reports the preselected one.
    virtual QString saveFileWithFilter(const FileDialog& dialog, int& chosenFilter) {
        chosenFilter = dialog.filterIndex;
        return saveFile(dialog);
    }
    // Folder picker: the chosen folder, empty on cancel.
    virtual QString pickFolder(const QString& title, const QString& directory) = 0;

    // Shorthands.
    void message(const QString& text) { ask(Kind::Information, text, Buttons::Ok); }
    void error(const QString& text) { ask(Kind::Error, text, Buttons::Ok); }
    bool confirmOkCancel(const QString& text) {
        return ask(Kind::Confirmation, text, Buttons::OkCancel) == Answer::Ok;
    }
    bool confirmYesNo(const QString& text) {
        return ask(Kind::Confirmation, text, Buttons::YesNo) == Answer::Yes;
    }
};

// The prompts in use. Never null once the program or a test has started.
Prompts& prompts();
// Installs p (not owned) and returns the previous one.
Prompts* setPrompts(Prompts* p);
