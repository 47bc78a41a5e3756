#pragma once
// The running program's settings and language, bound to its windows: the
// settings file is read into them once at start and written from them when
// the main window closes; the settings window's lock and font sizes reach the
// windows they are for. GUI thread only.

class SettingsWindows;
class TForm1;
class TfrmSettings;

// The windows of the running program as the settings loader and saver see them.
SettingsWindows& RunningWindows();

// Reads the settings file into the running program's windows, then reads and
// applies the language file. Run once, after the main and settings windows exist.
void LoadSettings();
// Writes every key into the settings file, then the language file when it is
// missing. A failed write shows "Unable to write to <file>" and returns false;
// the previous settings file stays whole and the language file is not written.
bool SaveSettings();

// Puts the language texts into the main, playlist and settings windows found
// among the top-level widgets.
void ApplyLanguage();

// Makes the settings window's changes reach the other windows (the main
// window's lock and marker list font, the playlist's list font, the marker
// editor's text box font) and the settings file be written when the main
// window closes. The playlist window and the editor are made after the
// settings are read; each is given what was read for it when it is made.
void BindSettingsToWindows(TForm1& form, TfrmSettings& settings);
