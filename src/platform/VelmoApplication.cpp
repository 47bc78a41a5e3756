#include "platform/VelmoApplication.h"

#include "platform/AppError.h"
#include "platform/Prompts.h"

VelmoApplication::VelmoApplication(int& argc, char** argv) : QApplication(argc, argv) {
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
