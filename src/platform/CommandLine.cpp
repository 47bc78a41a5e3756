#include "platform/CommandLine.h"

#include "platform/Version.h"

#include <array>

namespace {

const QString ProgramName = QStringLiteral("velmoplayer");

// The options the program knows. A new option is a row here plus the case
// in ParseCommandLine that acts on it; the help text lists every row.
struct Option {
    const char* longName;
    const char* shortName;
    CommandLine::Action action;
    const char* help;
};

constexpr std::array Options = {
    Option{"--help", "-h", CommandLine::Action::Help, "show this help and exit"},
    Option{"--version", "-V", CommandLine::Action::Version, "show the version and licence and exit"},
};

const Option* FindOption(const QString& arg) {
    for (const Option& option : Options)
        if (arg == QLatin1String(option.longName) || arg == QLatin1String(option.shortName))
            return &option;
    return nullptr;
}

CommandLine Error(const QString& what) {
    return {CommandLine::Action::Error, {},
            QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(ProgramName, what)};
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args) {
    CommandLine result;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && arg.startsWith('-') && arg != QLatin1String("-")) {
            const Option* option = FindOption(arg);
            if (!option)
                return Error(QStringLiteral("unknown option '%1'").arg(arg));
            // Help or version wins over whatever else is given: the user asked.
            if (result.action == CommandLine::Action::Open)
                result.action = option->action;
        } else if (result.path.isEmpty()) {
            result.path = arg;
        }
    }
    if (result.action != CommandLine::Action::Open)
        result.path.clear();
    return result;
}

QString HelpText(const QString& moreOptions) {
    QString text = QStringLiteral(
                       "Usage: %1 [OPTION]... [--] [FILE]\n"
                       "Play FILE, an audio file, with its markers on a zoomable timeline.\n"
                       "A second start hands FILE to the player that is already running.\n\n")
                       .arg(ProgramName);
    for (const Option& option : Options)
        text += QStringLiteral("  %1, %2\n      %3\n")
                    .arg(QLatin1String(option.shortName), QLatin1String(option.longName),
                         QLatin1String(option.help));
    text += moreOptions;
    text += QStringLiteral("  --\n      end of options: the next argument is FILE even if it starts with '-'\n\n"
                           "See %1(1) for the files, keys and environment variables.\n")
                .arg(ProgramName);
    return text;
}

QString VersionText() {
    return QStringLiteral(
               "%1 %2\n"
               "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
               "This is free software: you are free to change and redistribute it.\n"
               "There is NO WARRANTY, to the extent permitted by law.\n")
        .arg(ProgramName, QLatin1String(VELMO_VERSION));
}
