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

// Puts the texts into the three windows found among the top-level widgets
// (TForm1, TfrmList, TfrmSettings). GUI thread; called once at start, after
// ReadLanguageFile.
void ApplyLanguage();
// The same with the windows given; any of them may be null.
void ApplyLanguage(QWidget* Form1, QWidget* frmList, QWidget* frmSettings);
