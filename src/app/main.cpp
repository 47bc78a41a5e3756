// Program entry: --help and --version answer and exit; otherwise the first
// start becomes the player, a later start hands its file argument to the
// running player and exits.

#include "app/MarkerCli.h"
#include "app/uIniWindows.h"
#include "desktop/MprisService.h"
#include "mainwindow/MprisMainWindow.h"
#include "mainwindow/uMain.h"
#include "platform/CommandLine.h"
#include "platform/HandOffServer.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramPictures.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"
#include "platform/VelmoApplication.h"
#include "settings/uIni.h"
#include "settings/uSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

// The file as an absolute path, so the player that receives it (started
// from another folder) and the lists that keep it find the same file.
QString AbsoluteFile(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

// Qt sees only the program's name (argc 1): the command line is ours, so a
// file named like one of Qt's own options ("-style") is opened, not obeyed.
int QtArgc = 1;

// A second start: hands the file, if any, to the running player and waits
// until the player has handled it. Shows nothing, whatever happens.
int RunMessenger(char** argv, const QString& file) {
    if (file.isEmpty())
        return 0;
    QCoreApplication app(QtArgc, argv);
    SendHandOff(AbsoluteFile(file));
    return 0;
}

int RunPlayer(char** argv, const QString& file, InstanceLock& lock) {
    VelmoApplication app(QtArgc, argv);
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmoplayer"));
    QApplication::setWindowIcon(QIcon(ProgramPicture(QStringLiteral("velmoplayer"))));
    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);
    // A message of the start-up work (a file of the last playlist gone, the
    // command-line file refused) waits for the main window and shows over it.
    qtPrompts.holdMessages();
    QtShell qtShell;
    setShell(&qtShell);

    TForm1 window;
    // The settings window holds the settings for the whole run. The playlist
    // window is made once the main window has been painted; the About window,
    // the notice and the marker editor when first needed. Each is given the
    // settings read before it was made.
    TfrmSettings settingsWindow;
    BindSettingsToWindows(window, settingsWindow);
    LoadSettings();
    window.SetCommandLineFile(AbsoluteFile(file));

    HandOffServer handOff([&window](const QString& path) { window.WMCopyData(path); });
    if (lock.held())
        handOff.listen(lock);

    // Media keys and desktop sound applets (MPRIS on the session bus); without
    // a session bus the player runs without them, silently. Connecting to the
    // bus waits for it, so it happens once the window has been painted.
    MprisMainWindow mprisPlayer(window);
    std::optional<MprisService> mpris;
    QObject::connect(&window, &TForm1::FirstPainted, &window, [&] {
        mpris.emplace(mprisPlayer, QDBusConnection::sessionBus());
        mpris->start();
        QObject::connect(&window, &TForm1::TickWoken, &*mpris, &MprisService::wake);
    });

    QObject::connect(&window, &TForm1::Closed, &app, [] { QCoreApplication::exit(0); });
    window.show();
    QTimer::singleShot(0, &window, [&] { qtPrompts.showHeldMessages(&window); });
    const int result = app.exec();
    handOff.close();
    lock.release();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    // Marker commands run on their own: no window, no hand-off.
    if (const std::optional<int> status = RunMarkerCommandLine(argc, argv))
        return *status;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    const CommandLine commandLine = ParseCommandLine(args);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(HelpText(QString::fromUtf8(kMarkerCommandsUsage)).toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stderr);
        return ErrorExitStatus;
    case CommandLine::Action::Open:
        break;
    }

    InstanceLock lock;
    if (lock.acquire() == InstanceLock::Result::AlreadyExists)
        return RunMessenger(argv, commandLine.path);
    // Without a usable lock this process runs as the player.
    RunPlayer(argv, commandLine.path, lock);
    return 0;
}
