#pragma once
// The texts of the language file "VelmoPlayer.lang": hints, captions and
// the main window's messages. Each is a global text named by its key, holding
// its English default until the language file replaces it. The list below is
// also the file's layout: six sections of 113 keys, then the sections of
// texts added since, keys in the order they are written.
// Spellings are the program's own and stay as they are ("Open FIle...",
// "Assosiate", "Markler" with a Cyrillic a, double blanks).
//
// Readers take a text at the moment they use it, e.g.
//     prompts().ask(..., uLang::Form1_Save_Markers_msg, ...);

#include <QString>

#include <vector>

// X(section, key, default)
#define VELMO_LANG_TEXTS(X) \
    /* [main_hints] */ \
    X(main_hints, Form1_PaintBox1_hint, u"") \
    X(main_hints, Form1_btnOpenFile_hint, u"Open FIle...") \
    X(main_hints, Form1_btnPlayPause_hint, u"Start / Pause Play [ Space ]") \
    X(main_hints, Form1_btnStop_hint, u"Stop and Reset Position") \
    X(main_hints, Form1_btnPreviousMarker_hint, u"Pause and go to the Previous Marker") \
    X(main_hints, Form1_btnNextMarker_hint, u"Pause and go to the Next Marker") \
    X(main_hints, Form1_btnAddMarker_hint, u"Drop Marker on Current Position [ M ]") \
    X(main_hints, Form1_btnDeleteMarker_hint, u"Remove Nearest Marker [ Del ]") \
    X(main_hints, Form1_btnZoomOut_hint, u"Zoom Out Timeline (Mouse Wheel [ - ] )") \
    X(main_hints, Form1_btnZoomIn_hint, u"Zoom In Timeline (Mouse Wheel, [ + ])") \
    X(main_hints, Form1_Label1_hint, u"Auto Scroll Timeline") \
    X(main_hints, Form1_cbAutoScroll_hint, u"Auto Scroll Timeline") \
    X(main_hints, Form1_btnAddToPlayList_hint, u"Add Current File To Playlist") \
    X(main_hints, Form1_btnPrevFile_hint, u"Previous File (Play List)") \
    X(main_hints, Form1_btnNextFile_hint, u"Next File  (Play List)") \
    X(main_hints, Form1_Label3_hint, u"Auto Stop Playing (if PlayList is not Empty)") \
    X(main_hints, Form1_CheckBox1_hint, u"Auto Stop Playing (if PlayList is not Empty)") \
    X(main_hints, Form1_btnPlayList_hint, u"Open PlayList") \
    X(main_hints, Form1_btnOptions_hint, u"Program Settings") \
    X(main_hints, Form1_btnCompact_hint, u"Compact (Set Minimum Player  Window Size)") \
    X(main_hints, Form1_lbPosition_hint, u"Current Play Position") \
    X(main_hints, Form1_lbDuration_hint, u"Track Duration") \
    X(main_hints, Form1_lbName_hint, u"Click to Show File Info...") \
    X(main_hints, Form1_btnEditMarker_hint, u"Edit Selected Marker...") \
    X(main_hints, Form1_btmDeleteLvMarker_hint, u"Delete Selected marker...") \
    X(main_hints, Form1_btnSaveMarkers_hint, u"Save Markers for Current Audio File") \
    X(main_hints, Form1_lbMarkers_hint, u"Markers Status (whether markers need to be saved)") \
    X(main_hints, Form1_btnHelp_hint, u"Program Documentation...") \
    X(main_hints, Form1_btnResetEq_hint, u"Reset EQ") \
    X(main_hints, Form1_cbEq_hint, u"Enable EQ") \
    X(main_hints, Form1_lvMarkers_hint, u"MARKER LIST") \
    X(main_hints, Form1_lbVolume_hint, u"Change Volume with Mouse Wheel") \
    X(main_hints, Form1_tbVolume_hint, u"Volume") \
    X(main_hints, Form1_btnAbout_hint, u"Show Velmo and Pella SlideShow...") \
    X(main_hints, Form1_Image1_hint, u"Show Velmo and Pella SlideShow...") \
    /* [main_msg] */ \
    X(main_msg, File_msg, u"File") \
    X(main_msg, Form1_Added_to_PlayList_msg, u"Added to PlayList") \
    X(main_msg, Form1_marker_already_exists, u"A marker already exists at this time position") \
    X(main_msg, Form1_Delete_Marker_msg, u"Are you sure to delete this Marker?") \
    X(main_msg, Form1_Select_Marker_msg, u"Please select a marker to edit") \
    X(main_msg, Form1_Save_Markers_msg, u"Would You like to Save your Markers?") \
    X(main_msg, Form1_Bass_Load_Error_msg, u"Error: bass_fx.dll is not loaded or is incompatible!") \
    X(main_msg, Form1_Time_Format_Error_msg, u"Invalid time format for the selected marker") \
    X(main_msg, Form1_Delete_all_Markers_msg, u"Are you sure to delete all markers?") \
    X(main_msg, Form1_FileInfo_msg, u"AUDIO FILE INFO") \
    X(main_msg, Form1_Name_msg, u"Name:") \
    X(main_msg, Form1_Folder_msg, u"Folder:") \
    X(main_msg, Form1_Duration_msg, u"Duration:") \
    X(main_msg, Form1_Sample_msg, u"SampleRate:") \
    X(main_msg, Form1_Channels_msg, u"Channels:") \
    X(main_msg, Form1_Bitrate_msg, u"Bitrate:") \
    X(main_msg, Form1_Format_msg, u"Format:") \
    X(main_msg, Form1_NoInfo_msg, u"NO FILE INFO. Probably Not Supported File") \
    X(main_msg, Form1_PlaceMarkerError_msg, u"Cannot place marker here: another marker exists at this time") \
    X(main_msg, Form1_Marker_description_msg, u"LAST PLAYED POSITION") \
    /* [list_hints] */ \
    X(list_hints, frmList_btnClear_hint, u"Clear List") \
    X(list_hints, frmList_btnLoad_hint, u"Open PlayList...") \
    X(list_hints, frmList_btnSave_hint, u"Save PlayList...") \
    X(list_hints, frmList_btnAddFile_hint, u"Add File(s) to PlayList") \
    X(list_hints, frmList_btnAddFolder_hint, u"Add Folder (and subfolders) to PlayList") \
    X(list_hints, frmList_btnRemove_hint, u"Remove Current Line...") \
    X(list_hints, frmList_btnPlayFromList_hint, u"Play Selected File From List") \
    X(list_hints, frmList_btnPause_hint, u"Play / Pause") \
    X(list_hints, frmList_btnStop_hint, u"Stop and Reset Position") \
    X(list_hints, frmList_btnPrevFile_hint, u"Previous File") \
    X(list_hints, frmList_btnNextFile_hint, u"Next File") \
    X(list_hints, frmList_Label3_hint, u"Auto Stop Playing (if PlayList is not Empty)") \
    X(list_hints, frmList_cbAutoStop_hint, u"Auto Stop Playing (if PlayList is not Empty)") \
    X(list_hints, frmList_SpeedButton1_hint, u"Show Player Window") \
    X(list_hints, frmList_btnOptions_hint, u"Program Settings") \
    X(list_hints, frmList_tbVolume_hint, u"Volume") \
    /* [settings_hints] */ \
    X(settings_hints, frmSettings_btnFilaTypes_hint, u"Assosiate Audio Files Wth Velmo Player") \
    X(settings_hints, frmSettings_btnWinSettings_hint, u"Open Windows Settings Applet") \
    X(settings_hints, frmSettings_btnIniLocation_hint, u"Open Velmo Player's configuration File Folder") \
    X(settings_hints, frmSettings_btnClose_hint, u"Close This Window") \
    /* [settings_captions] */ \
    X(settings_captions, frmSettings_lbInfo_1, u"If You make Velmo Player the default audio player for mp3 wma ogg wav flac m4a files then you will be able") \
    X(settings_captions, frmSettings_lbInfo_2, u"to play those files in Velmo Player by clicking in Windows Explorer. If after pressing the [link files] button") \
    X(settings_captions, frmSettings_lbInfo_3, u"the association does not work in your system, try to make VelmoPlayer the default audio player manually") \
    X(settings_captions, frmSettings_lbInfo_4, u"by clicking [Windows Settings] and edit there.") \
    X(settings_captions, frmSettings_btnFilaTypes, u"Assosiate files") \
    X(settings_captions, frmSettings_btnWinSettings, u"Windows Settings...") \
    X(settings_captions, frmSettings_Label1, u"Left/Right Arrows key Seek Time (Sec)") \
    X(settings_captions, frmSettings_Label2, u"Lock Markers (No Drag)") \
    X(settings_captions, frmSettings_Label3, u"Marker List Font Size") \
    X(settings_captions, frmSettings_Label4, u"Playlist Font Size") \
    X(settings_captions, frmSettings_Label8, u"Marker Editor Font Size") \
    X(settings_captions, frmSettings_lbAddOnDrop, u"Add File To PlayList Afrer Drop To the Player Window") \
    X(settings_captions, frmSettings_lbAddCL, u"Add File To PlayList Afrer Open From Windows Explorer") \
    X(settings_captions, frmSettings_lbAddOnOpen, u"Add File To PlayList Afrer Open From Player Main Window") \
    X(settings_captions, frmSettings_lbAutoSave, u"Auto Save Markers (On Player Close, Play Next File From Play List and so on)") \
    X(settings_captions, frmSettings_Label7, u"Auto Save Last Play Position as \u0430 Markler on Exit") \
    X(settings_captions, frmSettings_Label5, u"Auto Load last Playlist When Open Player") \
    X(settings_captions, frmSettings_Label6, u"Auto Save Play List On Close Velmo Player") \
    X(settings_captions, frmSettings_btnIniLocation, u"Open Configuration File location...") \
    X(settings_captions, frmSettings_btnClose, u"Close") \
    /* [popup_menu] */ \
    X(popup_menu, miEditMarker_caption, u"Edit Marker...") \
    X(popup_menu, miJump_caption, u"Jump to marker") \
    X(popup_menu, miDelete_caption, u"Delete Marker...") \
    X(popup_menu, miClearMarkersList_caption, u"Delete All Markers...") \
    X(popup_menu, DropMarkerPlayPosition1_caption, u"Drop Marker (Play Position)") \
    X(popup_menu, miDeleteMarkerTL_caption, u"Delete Marker Near PlayHead ...") \
    X(popup_menu, miLock_caption, u"Lock Markers (Disable Drag)") \
    X(popup_menu, miFileInfo_caption, u"Show File Info...") \
    X(popup_menu, miSettings_caption, u"Settings...") \
    X(popup_menu, miDeleteAllMarkers_caption, u"Delete All Markers...") \
    X(popup_menu, miPlayCurrent_caption, u"Play Current File") \
    X(popup_menu, miAddFile_caption, u"Add One or Several Files to the List...") \
    X(popup_menu, miAddFolder_caption, u"Add Folder to the List...") \
    X(popup_menu, miOpen_caption, u"Open Play List...") \
    X(popup_menu, miSave_caption, u"Save Play List...") \
    X(popup_menu, miDeleteLine_caption, u"Delete Line") \
    X(popup_menu, miClear_caption, u"Clear List") \
    X(popup_menu, miBrows_caption, u"Browse File Location Folder...") \
    /* [marker_exchange]: texts added after the described ones */ \
    X(marker_exchange, miExportMarkers_caption, u"Export Markers...") \
    X(marker_exchange, miImportMarkers_caption, u"Import Markers...") \
    X(marker_exchange, Form1_ExportMarkers_title, u"Export Markers") \
    X(marker_exchange, Form1_ImportMarkers_title, u"Import Markers") \
    X(marker_exchange, Form1_AudacityLabels_filter, u"Audacity label track") \
    X(marker_exchange, Form1_CueSheet_filter, u"CUE sheet, times rounded to 1/75 s") \
    X(marker_exchange, Form1_FfMetadata_filter, u"FFmpeg metadata chapters") \
    X(marker_exchange, Form1_PodcastJson_filter, u"Podcast chapters (JSON)") \
    X(marker_exchange, Form1_Timestamps_filter, u"Timestamp lines for video descriptions") \
    X(marker_exchange, Form1_AllMarkerFiles_filter, u"All marker files") \
    X(marker_exchange, Form1_AllFiles_filter, u"All files") \
    X(marker_exchange, Form1_NoMarkersToExport_msg, u"There are no markers to export.") \
    X(marker_exchange, Form1_MarkersImported_msg, u"Markers imported: %1. Left out because a marker is already at that time: %2.") \
    /* [extra]: texts of the features added since, after the ones above */ \
    X(extra, miUndoMarkers_caption, u"Undo") \
    X(extra, miRedoMarkers_caption, u"Redo") \
    X(extra, undo_add_marker, u"Add Marker") \
    X(extra, undo_delete_marker, u"Delete Marker") \
    X(extra, undo_move_marker, u"Move Marker") \
    X(extra, undo_edit_marker, u"Edit Marker") \
    X(extra, undo_delete_all_markers, u"Delete All Markers") \
    X(extra, undo_import_markers, u"Import Markers") \
    X(extra, frmSettings_lbShowWaveform, u"Show the Waveform on the Timeline") \
    X(extra, frmSettings_lbShowMarkerNames, u"Show Marker Descriptions on the Timeline") \
    X(extra, frmSettings_lbNameOnAdd, u"Name markers as you add them") \
    X(extra, miLoopSection_caption, u"Loop Section") \
    X(extra, miLoopSection_hint, u"Play the section between the markers around the play position over and over (R)") \
    X(extra, Form1_lbSpeed_hint, u"Speed, pitch kept: [ slower, ] faster, \\ back to 100 %; or turn the mouse wheel here") \
    /* end */

namespace uLang {

#define VELMO_DECLARE_TEXT(section, key, text) extern QString key;
VELMO_LANG_TEXTS(VELMO_DECLARE_TEXT)
#undef VELMO_DECLARE_TEXT

// One text of the file: where it is stored and what it holds.
struct TextEntry {
    const char* Section;
    const char* Key;
    QString* Text;            // the global text
    const char16_t* Default;  // its English default
};

// All texts in the file's order.
const std::vector<TextEntry>& Texts();
// The text of a key, or nullptr for an unknown key (names match exactly).
QString* FindText(const QString& key);
// Gives every text its default again.
void ResetTexts();

// GetConfigFolder() + "VelmoPlayer.lang".
QString LanguageFileName();

// Reads every key with the text's current value as default: a missing file,
// section or key keeps the text; a key present with an empty value empties
// it. Reading never creates the file.
void ReadLanguageFile();
void ReadLanguageFile(const QString& fileName);

// Writes every text, section by section, only when the file does not exist
// yet; an existing file is never rewritten or completed. The file appears
// whole or not at all; a failure throws AppError "Unable to write to <path>".
void WriteLanguageFile();
void WriteLanguageFile(const QString& fileName);

}  // namespace uLang
