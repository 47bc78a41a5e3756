// Program entry.

#include "app/VelmoApplication.h"
#include "app/uMain.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"

int main(int argc, char** argv) {
    VelmoApplication app(argc, argv);
    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);
    QtShell qtShell;
    setShell(&qtShell);
    TForm1 window;
    if (argc > 1)
        window.SetCommandLineFile(QString::fromLocal8Bit(argv[1]));
    window.show();
    return app.exec();
}
