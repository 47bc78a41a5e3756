#include "playlist/uList.h"

#include "platform/AppError.h"
#include "platform/Prompts.h"
#include "playlist/FolderScan.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistPaths.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// Shown when a chosen list file cannot be read.
const char* const kErrorOpen = "Error Open PlayList";

// Shows the busy cursor for its lifetime, also when an error leaves early.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

// ---- selection ---------------------------------------------------------------

int TfrmList::SelectedRow() const {
    const QModelIndexList rows = PList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString TfrmList::GetSelectedFileName() const {
    const int row = SelectedRow();
    return row < 0 ? QString() : FPlaylist.model().location(row);
}

void TfrmList::SelectRow(int row, bool focus) {
    if (row < 0 || row >= FPlaylist.count())
        return;
    const QModelIndex index = FPlaylist.model().index(row, 0);
    PList->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    PList->scrollTo(index, QAbstractItemView::EnsureVisible);
    if (focus)
        PList->setFocus();
}

void TfrmList::SelectLastRowAndFocus() {
    if (!FPlaylist.isEmpty())
        SelectRow(FPlaylist.count() - 1, true);
}

// ---- the playlist's operations ------------------------------------------------

void TfrmList::AddFileToList(const QString& FileName, bool FocusList) {
    const int row = FPlaylist.addFile(FileName);
    if (FocusList)
        SelectRow(row, true);
}

void TfrmList::AddFolderToList(const QString& Folder) {
    QStringList found;
    {
        BusyCursor busy;
        QCoreApplication::processEvents();
        found = ScanFolder(Folder);  // an error leaves here, after the cursor
    }
    if (found.isEmpty())
        return;
    QStringList accepted;
    for (const QString& path : found)
        if (HasAcceptedExtension(path, PlaylistExtensions()))
            accepted << path;
    {
        BusyCursor busy;
        FPlaylist.addFiles(accepted);
    }
    SelectLastRowAndFocus();
    FPlaylist.setScannedFolder(Folder);
}

void TfrmList::PlayFile(const QString& FileName) {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.LoadAudioFile)
        FPlayer.LoadAudioFile(FileName);
    if (FPlayer.Play_Pause)
        FPlayer.Play_Pause();
}

void TfrmList::PlayNext() {
    const int row = FPlaylist.stepNext();
    if (row < 0)
        return;
    SelectRow(row, false);
    PlayFile(GetSelectedFileName());
}

void TfrmList::PlayPrev() {
    const int row = FPlaylist.stepPrev();
    if (row < 0)
        return;
    SelectRow(row, false);
    PlayFile(GetSelectedFileName());
}

bool TfrmList::LoadListBg(const QString& Filename) {
    if (!QFileInfo::exists(Filename))
        return false;
    QStringList lines;
    {
        BusyCursor busy;
        try {
            lines = ReadPlaylistFile(Filename);
        } catch (const AppError&) {
            return false;
        }
        if (FPlaylist.takeLines(lines, Filename))
            SetCaption();
    }
    if (!FPlaylist.isEmpty()) {
        PList->scrollToTop();
        SelectRow(0, false);
    }
    return true;
}

void TfrmList::SaveListBg(const QString& Filename) { FPlaylist.save(Filename); }

void TfrmList::OpenListFile(const QString& fileName) {
    bool read = true;
    bool listed = false;
    {
        BusyCursor busy;
        try {
            listed = FPlaylist.takeLines(ReadPlaylistFile(fileName), fileName);
        } catch (const AppError&) {
            read = false;  // the list stays as it was
        }
    }
    if (!read) {
        prompts().message(QString::fromLatin1(kErrorOpen));
        return;
    }
    if (!listed)
        return;
    SetCaption();
    PList->scrollToTop();
    SelectRow(0, false);
    activateWindow();
    PList->setFocus();
    FPlaylist.setLastOpenDir(ExtractFilePath(fileName));
}

void TfrmList::PListDragDrop(QPoint pos) {
    const int source = SelectedRow();
    if (source < 0)
        return;
    const QModelIndex under = PList->indexAt(pos);
    const int target = under.isValid() ? under.row() : FPlaylist.count();
    const int landed = FPlaylist.moveRow(source, target);
    SelectRow(landed, false);
}
