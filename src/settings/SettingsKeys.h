#pragma once
// The keys of VelmoPlayer.ini and their defaults, one namespace per section.
// SaveSettings writes the keys in the order they are listed here. Defaults
// that depend on other values (the playlist window's position follows the
// main window's, the folders follow the documents folder) are computed by
// LoadSettings from the values named here.

namespace MainWindowSettings {
inline constexpr char kSection[] = "main_window";
inline constexpr char kLeft[] = "main_left";
inline constexpr char kTop[] = "main_top";
inline constexpr char kHeight[] = "main_height";
inline constexpr char kWidth[] = "main_width";
inline constexpr int kDefaultLeft = 200;
inline constexpr int kDefaultTop = 200;
inline constexpr int kDefaultHeight = 400;
inline constexpr int kDefaultWidth = 842;
}  // namespace MainWindowSettings

namespace ListWindowSettings {
inline constexpr char kSection[] = "list_window";
inline constexpr char kLeft[] = "list_left";      // default: the main window's left edge
inline constexpr char kTop[] = "list_top";        // default: the main window's top edge
inline constexpr char kHeight[] = "list_height";  // default: the playlist window's minimum
inline constexpr char kWidth[] = "listwidth";     // no underscore, unlike its neighbours
// The playlist window's minimum outer size, its defaults here.
inline constexpr int kMinHeight = 270;
inline constexpr int kMinWidth = 700;
}  // namespace ListWindowSettings

namespace EditWindowSettings {
inline constexpr char kSection[] = "edit_window";
inline constexpr char kWidth[] = "edit_width";
inline constexpr char kHeight[] = "edit_height";
inline constexpr int kDefaultWidth = 700;
inline constexpr int kDefaultHeight = 300;
}  // namespace EditWindowSettings

namespace ParameterSettings {
inline constexpr char kSection[] = "parameters";
inline constexpr char kVolume[] = "volume";
inline constexpr char kAutoSave[] = "AutoSave";
inline constexpr char kAddOnDrop[] = "AddOnDrop";
inline constexpr char kAddCL[] = "AddCL";
inline constexpr char kAddOnOpen[] = "AddOnOpen";
inline constexpr char kEQ[] = "EQ";
// eq1 to eq9: kEqBandPrefix followed by the band's number.
inline constexpr char kEqBandPrefix[] = "eq";
inline constexpr int kEqBands = 9;
inline constexpr char kSeekTime[] = "SeekTime";
inline constexpr char kLockMarkers[] = "LockMarkers";
inline constexpr char kMarkersFontSize[] = "MarkersFontSize";
inline constexpr char kListFontSize[] = "ListFontSize";
inline constexpr char kAutoLoadLastList[] = "AutoLoadLastList";
inline constexpr char kAutoSaveList[] = "AutoSaveList";
inline constexpr char kLastList[] = "LastList";        // default: the documents default
inline constexpr char kLastAddDir[] = "LastAddDir";    // default: the documents default
inline constexpr char kLastSaveDir[] = "LastSaveDir";  // default: the documents default
inline constexpr char kLastOpenDir[] = "LastOpenDir";  // default: the documents default
inline constexpr char kAutoSaveLastPos[] = "AutoSaveLastPos";
inline constexpr char kEditorFontSize[] = "EditorFontSize";
inline constexpr char kAutoStop[] = "AutoStop";
// Keys of the features added since; they follow the ones above.
inline constexpr char kShowWaveform[] = "ShowWaveform";
inline constexpr char kShowMarkerNames[] = "ShowMarkerNames";
inline constexpr char kNameMarkersOnAdd[] = "NameMarkersOnAdd";
inline constexpr char kSpeed[] = "Speed";  // percent

inline constexpr int kDefaultVolume = 100;
inline constexpr bool kDefaultSwitch = false;  // every boolean of the section
inline constexpr int kDefaultEqBand = 12;
inline constexpr int kDefaultSeekTime = 1;
inline constexpr int kDefaultMarkersFontSize = 9;
inline constexpr int kDefaultListFontSize = 9;
inline constexpr int kDefaultEditorFontSize = 9;
inline constexpr bool kDefaultShowWaveform = true;
inline constexpr int kDefaultSpeed = 100;
}  // namespace ParameterSettings

// The file's name inside GetConfigFolder().
inline constexpr char kSettingsFileName[] = "VelmoPlayer.ini";
