#include "platform/VelmoApplication.h"

#include "platform/AppError.h"
#include "platform/Prompts.h"

#include <utility>

namespace {

constexpr char NoSharedImages[] = "QT_XCB_NO_MITSHM";
bool setNoSharedImages = false;  // by this program, for the connection being opened

// On X11 Qt shares the window's image with the server (MIT-SHM) and, before
// painting a region it has just shown, waits for the server to have read it:
// a round trip. The play tick repaints the same few small regions 40 times a
// second, and sending those few kilobytes over the connection costs less
// than that wait; a whole-window repaint costs a fraction of a millisecond
// more. Qt reads the setting once, when it opens the connection; a value
// the user set is kept.
int& WithoutSharedImages(int& argc) {
    if (!qEnvironmentVariableIsSet(NoSharedImages)) {
        qputenv(NoSharedImages, "1");
        setNoSharedImages = true;
    }
    return argc;
}

}  // namespace

VelmoApplication::VelmoApplication(int& argc, char** argv) : QApplication(WithoutSharedImages(argc), argv) {
    // Programs started from here (a file manager, a browser) keep their own.
    if (std::exchange(setNoSharedImages, false))
        qunsetenv(NoSharedImages);
    // The title of every message box.
    setApplicationDisplayName(QStringLiteral("Velmo Player"));
    // The pictures and the icon (resources/resources.qrc) live in this static
    // library; nothing else would make the linker keep them.
    Q_INIT_RESOURCE(resources);
}

bool VelmoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& error) {
        reportError(error.message());
    } catch (const std::exception& error) {
        reportError(QString::fromUtf8(error.what()));
    }
    return false;
}

void VelmoApplication::reportError(const QString& text) {
    prompts().error(text);
}
