// Program entry: the first start becomes the player, a later start hands its
// file argument to the running player and exits.

#include "app/MarkerCli.h"
#include "app/MprisMainWindow.h"
#include "app/MprisService.h"
#include "app/VelmoApplication.h"
#include "app/uMain.h"
#include "controls/uAbout.h"
#include "controls/uMessage.h"
#include "platform/HandOffServer.h"
#include "platform/InstanceLock.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"
#include "settings/uIni.h"
#include "settings/uSettings.h"
#include "timeline/uEditor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <optional>

namespace {

// Argument 1 as an absolute path, so the player that receives it (started
// from another folder) and the lists that keep it find the same file.
QString FileArgument() {
    const QString arg = QCoreApplication::arguments().value(1);
    return arg.isEmpty() ? arg : QFileInfo(arg).absoluteFilePath();
}

// A second start: hands argument 1, if any, to the running player and waits
// until the player has handled it. Shows nothing, whatever happens.
int RunMessenger(int argc, char** argv) {
    if (argc < 2)
        return 0;
    QCoreApplication app(argc, argv);
    SendHandOff(FileArgument());
    return 0;
}

int RunPlayer(int argc, char** argv, InstanceLock& lock) {
    VelmoApplication app(argc, argv);
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmoplayer"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/velmoplayer.png")));
    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);
    // A message of the start-up work (a file of the last playlist gone, the
    // command-line file refused) waits for the main window and shows over it.
    qtPrompts.holdMessages();
    QtShell qtShell;
    setShell(&qtShell);

    TForm1 window;
    // The settings, About, notice and marker editor windows live for the
    // whole run; the settings file is read once every window exists.
    TfrmSettings settingsWindow;
    TfrmAbout aboutWindow;
    TfrmMsg messageWindow;
    frmEditMarker();
    LoadSettings();
    window.SetCommandLineFile(FileArgument());

    HandOffServer handOff([&window](const QString& path) { window.WMCopyData(path); });
    if (lock.held())
        handOff.listen(lock);

    // Media keys and desktop sound applets (MPRIS on the session bus); without
    // a session bus the player runs without them, silently. Connecting to the
    // bus waits for it, so it happens once the window is on screen.
    MprisMainWindow mprisPlayer(window);
    std::optional<MprisService> mpris;
    QTimer::singleShot(0, &window, [&] {
        mpris.emplace(mprisPlayer, QDBusConnection::sessionBus());
        mpris->start();
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
    InstanceLock lock;
    if (lock.acquire() == InstanceLock::Result::AlreadyExists)
        return RunMessenger(argc, argv);
    // Without a usable lock this process runs as the player.
    RunPlayer(argc, argv, lock);
    return 0;
}
