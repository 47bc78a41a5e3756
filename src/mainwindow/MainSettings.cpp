// TForm1's side of the settings and About windows: the settings the window
// reads, and the buttons that show the two windows.

#include "mainwindow/uMain.h"

#include "controls/uAbout.h"
#include "settings/SettingsKeys.h"
#include "settings/uSettings.h"

// The settings window holds the values for the whole run. Before it exists
// (and after it is gone) the window reads the settings' defaults.

bool TForm1::SettingAutoSave() const { return frmSettings() && frmSettings()->AutoSave(); }
bool TForm1::SettingAutoSaveLastPos() const { return frmSettings() && frmSettings()->AutoSaveLastPos(); }
bool TForm1::SettingAutoSaveList() const { return frmSettings() && frmSettings()->AutoSaveList(); }
bool TForm1::SettingAddCL() const { return frmSettings() && frmSettings()->AddCL(); }
bool TForm1::SettingAddOnDrop() const { return frmSettings() && frmSettings()->AddOnDrop(); }
bool TForm1::SettingAddOnOpen() const { return frmSettings() && frmSettings()->AddOnOpen(); }
bool TForm1::SettingShowWaveform() const {
    return frmSettings() ? frmSettings()->ShowWaveform() : ParameterSettings::kDefaultShowWaveform;
}
bool TForm1::SettingShowMarkerNames() const { return frmSettings() && frmSettings()->ShowMarkerNames(); }
bool TForm1::SettingNameMarkersOnAdd() const { return frmSettings() && frmSettings()->NameMarkersOnAdd(); }
int TForm1::SettingSeekTime() const { return frmSettings() ? frmSettings()->SeekTime() : ParameterSettings::kDefaultSeekTime; }

// btnAbout and Image1: the About window, not modal.
void TForm1::Image1Click() {
    TfrmAbout& about = AboutWindow();
    about.show();
    about.raise();
    about.activateWindow();
}

// btnOptions, the timeline menu's "Settings..." and the playlist window's
// settings commands: the settings window, modal, centred on this window.
void TForm1::btnOptionsClick() {
    if (TfrmSettings* settings = frmSettings())
        settings->ShowModalOver(this);
}
