#include "playlist/uList.h"

#include "controls/uQrGbar.h"
#include "platform/FileHelpers.h"
#include "platform/Prompts.h"
#include "playlist/PlaylistPaths.h"
#include "playlist/QrtDialogs.h"

#include <QCheckBox>

namespace {

// Fixed texts of the window's messages and questions.
const char* const kSelectToPlay = "Please Select List Line to Play!";
const char* const kSelectToDelete = "Please Select List Line to Delete!";
const char* const kConfirmClear = "Are You Sure to Cler the List?";
const char* const kConfirmRemove = "Are you Sure?";
const char* const kPickFolderTitle = "Select Folder For Audio Files Search";

}  // namespace

void TfrmList::btnClearClick() {
    if (FPlaylist.isEmpty())
        return;
    if (!prompts().confirmOkCancel(QString::fromLatin1(kConfirmClear)))
        return;
    FPlaylist.clear();
}

void TfrmList::btnRemoveClick() {
    if (FPlaylist.isEmpty())
        return;
    const int row = SelectedRow();
    if (row < 0) {
        prompts().message(QString::fromLatin1(kSelectToDelete));
        return;
    }
    if (!prompts().confirmYesNo(QString::fromLatin1(kConfirmRemove)))
        return;
    FPlaylist.removeRow(row);
}

void TfrmList::btnPlayFromListClick() {
    if (FPlaylist.isEmpty())
        return;
    const int row = SelectedRow();
    if (row < 0) {
        prompts().message(QString::fromLatin1(kSelectToPlay));
        return;
    }
    FPlaylist.setCurrentIndex(row);
    if (FPlayer.SaveMarkersIfAutoSave)
        FPlayer.SaveMarkersIfAutoSave();
    PlayFile(FPlaylist.model().location(row));
}

void TfrmList::btnPauseClick() {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.Play_Pause)
        FPlayer.Play_Pause();
    UpdatePlayPause();
}

void TfrmList::UpdatePlayPause() {}

void TfrmList::btnStopClick() {
    if (FPlayer.Stop)
        FPlayer.Stop();
}

void TfrmList::btnPrevFileClick() {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.SaveMarkersIfAutoSave)
        FPlayer.SaveMarkersIfAutoSave();
    PlayPrev();
}

void TfrmList::btnNextFileClick() {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.SaveMarkersIfAutoSave)
        FPlayer.SaveMarkersIfAutoSave();
    PlayNext();
}

void TfrmList::cbAutoStopClick() {
    if (FPlayer.SetAutoStop)
        FPlayer.SetAutoStop(cbAutoStop->isChecked());
}

void TfrmList::SpeedButton1Click() {
    if (FPlayer.ShowPlayer)
        FPlayer.ShowPlayer();
}

void TfrmList::btnOptionsClick() {
    if (FPlayer.ShowSettings)
        FPlayer.ShowSettings();
}

void TfrmList::miBrowsClick() {
    if (FPlaylist.isEmpty())
        return;
    const int row = SelectedRow();
    if (row < 0)
        return;
    ExploreFolder(ExtractFilePath(FPlaylist.model().location(row)));
}

QStringList TfrmList::AddFilesFilters() {
    return {
        QStringLiteral("MP3 Files (*.mp3)"),
        QStringLiteral("WAV Files (*.wav)"),
        QStringLiteral("WMA Files (*.wma)"),
        QStringLiteral("OGG Files (*.ogg)"),
        QStringLiteral("MP4 Files (*.mp4)"),
        QStringLiteral("MOV Files (*.mov)"),
        QStringLiteral("All Supported Files (*.mp3 *.wav *.wma *.ogg *.mp4 *.mov)"),
        QStringLiteral("All Files (*)"),
    };
}

void TfrmList::btnAddFileClick() {
    Prompts::FileDialog dialog;
    dialog.filters = AddFilesFilters();
    dialog.filterIndex = AddFilesFilterIndex;
    dialog.directory = FPlaylist.lastAddDir();
    dialog.multiSelect = true;
    const QStringList chosen = prompts().openFiles(dialog);
    for (const QString& file : chosen)
        AddFileToList(file, false);
    activateWindow();
    if (!chosen.isEmpty())
        SelectLastRowAndFocus();
}

void TfrmList::btnAddFolderClick() {
    const QString folder = PickFolder(QString::fromLatin1(kPickFolderTitle), FPlaylist.lastAddDir());
    if (!folder.isEmpty())
        AddFolderToList(folder);
}

void TfrmList::btnLoadClick() {
    Prompts::FileDialog dialog;
    dialog.filters = {QStringLiteral("Play List Files (*.vpl)")};
    dialog.directory = FPlaylist.lastOpenDir();
    dialog.multiSelect = true;
    const QStringList chosen = prompts().openFiles(dialog);
    if (chosen.isEmpty()) {
        activateWindow();
        return;
    }
    OpenListFile(chosen.first());
}

void TfrmList::btnSaveClick() {
    if (FPlaylist.isEmpty())
        return;
    Prompts::FileDialog dialog;
    dialog.filters = {QStringLiteral("Play List Files (*.vpl)")};
    dialog.fileName = FPlaylist.listFilename();
    dialog.defaultSuffix = QStringLiteral("vpl");
    dialog.confirmOverwrite = true;
    const QString chosen = prompts().saveFile(dialog);
    if (!chosen.isEmpty())
        FPlaylist.save(chosen);
    activateWindow();
}

void TfrmList::tbVolumeChange() {
    if (FPlayer.SetVolumeBar)
        FPlayer.SetVolumeBar(tbVolume->Value());
}
