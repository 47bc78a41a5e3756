// Program entry.

#include "app/VelmoApplication.h"
#include "app/uMain.h"
#include "controls/uAbout.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"
#include "settings/uIni.h"
#include "settings/uSettings.h"

int main(int argc, char** argv) {
    VelmoApplication app(argc, argv);
    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);
    QtShell qtShell;
    setShell(&qtShell);
    TForm1 window;
    // The settings and About windows live for the whole run; the settings
    // file is read once every window exists.
    TfrmSettings settingsWindow;
    TfrmAbout aboutWindow;
    LoadSettings();
    window.show();
    return app.exec();
}
