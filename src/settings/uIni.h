#pragma once
// The settings file VelmoPlayer.ini: read once at start into the windows,
// written once when the main window closes. Nothing else touches it.
// GUI thread only.

#include <QString>

class SettingsWindows;
class TfrmSettings;

// GetConfigFolder() + "VelmoPlayer.ini" (the bare name when there is no
// configuration folder).
QString SettingsFilePath();

// Reads the settings file into the running program's windows, then reads and
// applies the language file. Run once after all windows exist.
void LoadSettings();
// Writes every key into the settings file, then the language file when it is
// missing. A failed write shows "Unable to write to <file>" and returns false;
// the previous settings file stays whole and the language file is not written.
bool SaveSettings();

// The same on any file and windows (tests give their own). SaveSettingsTo
// throws AppError "Unable to write to <file>" when the file cannot be written.
void LoadSettingsFrom(const QString& path, TfrmSettings& settings, SettingsWindows& windows);
void SaveSettingsTo(const QString& path, const TfrmSettings& settings, SettingsWindows& windows);

// The windows of the running program as the loader and saver see them.
SettingsWindows& RunningWindows();
