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

// Reads the settings file into the windows given, then reads and applies the
// language file. The running program's windows are in app/uIniWindows.h.
void LoadSettingsFrom(const QString& path, TfrmSettings& settings, SettingsWindows& windows);
// Writes every key into the settings file, then the language file when it is
// missing. Throws AppError "Unable to write to <file>" when the file cannot be
// written; the previous settings file then stays whole and the language file
// is not written.
void SaveSettingsTo(const QString& path, const TfrmSettings& settings, SettingsWindows& windows);
