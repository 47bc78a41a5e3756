#pragma once
// The language texts put into the windows. The texts themselves, and reading
// and writing the language file, are in LangTexts.h.
//
// ApplyLanguage finds each control by its object name: the key
// "Form1_btnStop_hint" is the hint of the main window's child "btnStop",
// "frmSettings_Label1" the caption of the settings window's "Label1",
// "miJump_caption" the text of the menu action "miJump". A window or control
// that does not exist (yet) is passed over. Windows and actions should
// therefore carry their design names as object names.

#include "settings/LangTexts.h"

class QWidget;

// Puts the texts into the three windows given (TForm1, TfrmList,
// TfrmSettings); any of them may be null. GUI thread; the running program
// calls it once at start, after ReadLanguageFile (app/uIniWindows.h).
void ApplyLanguage(QWidget* Form1, QWidget* frmList, QWidget* frmSettings);
