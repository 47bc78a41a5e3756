// Program entry.

#include "app/VelmoApplication.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"

#include <QWidget>

int main(int argc, char** argv) {
    VelmoApplication app(argc, argv);
    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);
    QtShell qtShell;
    setShell(&qtShell);
    QWidget window;
    window.setWindowTitle(QStringLiteral("QRT Velmo Player"));
    window.show();
    return app.exec();
}
