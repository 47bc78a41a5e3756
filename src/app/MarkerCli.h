#pragma once
// The marker commands of the command line, for scripts and batch work: they
// run without a window and without a running player.
//   velmoplayer --export-markers FORMAT AUDIOFILE   (to standard output)
//   velmoplayer --import-markers FILE AUDIOFILE     (into AUDIOFILE's marker file)

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The lines the command-line help shows for the marker commands.
extern const char* const kMarkerCommandsUsage;

struct MarkerCommandResult {
    int status = 0;     // 0 success, 1 a failure, 2 wrong arguments
    QByteArray output;  // for standard output
    QString message;    // for standard error, ends without a line break; empty when none
};

// True when the arguments (program name left out) start with a marker command.
bool IsMarkerCommand(const QStringList& arguments);

// Runs the marker command the arguments name (IsMarkerCommand is true).
MarkerCommandResult RunMarkerCommand(const QStringList& arguments);

// For main(): runs a marker command and writes its output and message;
// returns its exit status, or nothing when the arguments name none.
std::optional<int> RunMarkerCommandLine(int argc, char** argv);
