#pragma once
// The program's command line: options first, then at most one audio file.
// Window-free; main() decides what to do with the result before any window or
// single-instance hand-off exists.

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action {
        Open,     // start (or hand off to) the player, with `path` if not empty
        Help,     // print HelpText() to standard output, exit 0
        Version,  // print VersionText() to standard output, exit 0
        Error,    // print `message` to standard error, exit ErrorExitStatus
    };
    Action action = Action::Open;
    QString path;     // the file to open, exactly as given; empty for none
    QString message;  // for Error: what was wrong and where to get help
};

// Exit status for a command line that could not be understood.
inline constexpr int ErrorExitStatus = 2;

// Reads the arguments after the program's name. An argument starting with "-"
// is an option until "--", after which every argument is a file, so a file
// whose name starts with "-" is given as "velmoplayer -- -name.mp3". Only the
// first file is opened; later ones are ignored, as when a desktop hands over
// a selection of files.
CommandLine ParseCommandLine(const QStringList& args);

// "Usage: ..." with one line per option, ending in a newline. `moreOptions`
// (lines already indented) describes options handled before this parser.
QString HelpText(const QString& moreOptions = {});

// "velmoplayer 1.0.0" and the licence, ending in a newline.
QString VersionText();
