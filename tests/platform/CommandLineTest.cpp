// What the command line asks for: help, version, a file, or an error with
// exit status 2.

#include "platform/CommandLine.h"
#include "platform/Version.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;

struct Case {
    const char* what;
    QStringList args;
    Action action;
    QString path;
};

}  // namespace

TEST(CommandLine, ArgumentsGiveTheirAction) {
    const Case cases[] = {
        {"nothing opens nothing", {}, Action::Open, ""},
        {"a file", {"song.mp3"}, Action::Open, "song.mp3"},
        {"a file with blanks and non-ASCII", {"/music/Grüße aus Tartu.ogg"}, Action::Open,
         "/music/Grüße aus Tartu.ogg"},
        {"only the first of several files", {"a.mp3", "b.mp3"}, Action::Open, "a.mp3"},
        {"help", {"--help"}, Action::Help, ""},
        {"short help", {"-h"}, Action::Help, ""},
        {"version", {"--version"}, Action::Version, ""},
        {"short version", {"-V"}, Action::Version, ""},
        {"help before a file", {"--help", "song.mp3"}, Action::Help, ""},
        {"version after a file", {"song.mp3", "--version"}, Action::Version, ""},
        {"the first of help and version", {"--version", "--help"}, Action::Version, ""},
        {"a file after --", {"--", "-x.mp3"}, Action::Open, "-x.mp3"},
        {"--help after -- is a file", {"--", "--help"}, Action::Open, "--help"},
        {"a second -- is a file", {"--", "--"}, Action::Open, "--"},
        {"-- alone opens nothing", {"--"}, Action::Open, ""},
        {"a lone dash is a file", {"-"}, Action::Open, "-"},
        {"unknown long option", {"--play"}, Action::Error, ""},
        {"unknown short option", {"-x.mp3"}, Action::Error, ""},
        {"a value given to help", {"--help=full"}, Action::Error, ""},
        {"an option in another case", {"--HELP"}, Action::Error, ""},
        {"unknown option after a file", {"song.mp3", "--bogus"}, Action::Error, ""},
        {"unknown option beside help", {"--help", "--bogus"}, Action::Error, ""},
        {"a Qt option is not ours", {"-style", "fusion"}, Action::Error, ""},
    };
    for (const Case& c : cases) {
        const CommandLine result = ParseCommandLine(c.args);
        EXPECT_EQ(result.action, c.action) << c.what;
        EXPECT_EQ(result.path, c.path) << c.what;
        EXPECT_EQ(result.message.isEmpty(), c.action != Action::Error) << c.what;
    }
}

TEST(CommandLine, ErrorNamesTheArgumentAndWhereToGetHelp) {
    const CommandLine result = ParseCommandLine({"song.mp3", "--shuffle"});
    EXPECT_TRUE(result.message.startsWith("velmoplayer: unknown option '--shuffle'\n"))
        << result.message.toStdString();
    EXPECT_TRUE(result.message.contains("velmoplayer --help")) << result.message.toStdString();
    EXPECT_TRUE(result.message.endsWith('\n'));
}

TEST(CommandLine, HelpListsEveryOptionAndVersionNamesTheBuild) {
    const QString help = HelpText();
    EXPECT_TRUE(help.startsWith("Usage: velmoplayer ")) << help.toStdString();
    for (const char* option : {"--help", "-h", "--version", "-V", "--"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
    // Every option the help names is one the parser accepts.
    for (const char* option : {"--help", "-h", "--version", "-V"})
        EXPECT_NE(ParseCommandLine({option}).action, Action::Error) << option;

    const QString version = VersionText();
    EXPECT_TRUE(version.startsWith(QStringLiteral("velmoplayer %1\n").arg(VELMO_VERSION)))
        << version.toStdString();
    EXPECT_TRUE(version.contains("GPL-3.0-or-later"));
}
