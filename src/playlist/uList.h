#pragma once
// TfrmList, the playlist window: the rows of the playlist, the facts of the
// selected file, a copy of the level meter, a volume bar mirrored with the
// main window's, and buttons that drive the main window's transport. It plays
// nothing itself; every transport command goes to the player through
// TPlayerLink. One instance lives for the whole run; closing it only hides it.
// GUI thread only.
//
// Its members are defined in the files of this folder, one per concern:
//   uList.cpp            the one window, creation, show, close, resize, wheel,
//                        drops from the file manager
//   ListControls.cpp     the controls, their look, places and anchors; caption
//   ListOperations.cpp   selection, adding, playing, stepping, reading and
//                        writing list files, moving a row
//   ListCommands.cpp     the buttons' and menu's commands, the volume bar
//   ListFileInfo.cpp     the facts of the selected file
//   PlayListView.cpp     the list view and its row drags (PlayListView.h)

#include "platform/NewestJob.h"
#include "playlist/PlayListLink.h"
#include "playlist/PlayListView.h"
#include "playlist/Playlist.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class TQrGbar;

class TfrmList final : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the player. TForm1 binds it when it creates the
    // window; an unbound entry does nothing (reads give 0 / false).
    struct TPlayerLink {
        std::function<void(const QString&)> LoadAudioFile;
        std::function<void()> Play_Pause;
        std::function<void()> Stop;
        std::function<void(bool)> SetAutoStop;
        // The marker save rule: saves changed markers when AutoSave is on.
        std::function<void()> SaveMarkersIfAutoSave;
        // The main window's volume bar := value (which applies the volume).
        std::function<void(int)> SetVolumeBar;
        std::function<int()> Volume;
        std::function<void()> ShowPlayer;
        std::function<void()> ShowSettings;
    };

    static constexpr int DesignWidth = 684;
    static constexpr int DesignHeight = 453;
    static constexpr int MinWidth = 700;
    static constexpr int MinHeight = 270;

    explicit TfrmList(QWidget* parent = nullptr);
    ~TfrmList() override;

    void SetPlayerLink(TPlayerLink link) { FPlayer = std::move(link); }

    // ---- the playlist's operations ----------------------------------------
    // Appends a row; with FocusList the row is selected, shown and focused.
    // The main window's way to this window (see PlayListLink.h).
    TPlayListLink Link() { return TPlayListLink(this); }

    void AddFileToList(const QString& FileName, bool FocusList);
    // Scans Folder and its subfolders on a worker thread while the windows
    // stay responsive, then appends the accepted files in the order found.
    // An unreadable folder raises AppError (nothing is added).
    void AddFolderToList(const QString& Folder);
    // The location of the selected row; empty when none is selected.
    QString GetSelectedFileName() const;
    void PlayFile(const QString& FileName);
    void PlayNext();
    void PlayPrev();
    // Reads a playlist file without any dialog or message; false when it is
    // missing or unreadable (nothing changes then).
    bool LoadListBg(const QString& Filename);
    // Writes the rows to Filename (nothing for an empty list). Raises
    // AppError when the file cannot be written.
    void SaveListBg(const QString& Filename);

    bool Empty() const { return FPlaylist.isEmpty(); }
    QString ListFilename() const { return FPlaylist.listFilename(); }
    QString LastAddDir() const { return FPlaylist.lastAddDir(); }
    void SetLastAddDir(const QString& Value) { FPlaylist.setLastAddDir(Value); }
    QString LastSaveDir() const { return FPlaylist.lastSaveDir(); }
    void SetLastSaveDir(const QString& Value) { FPlaylist.setLastSaveDir(Value); }
    QString LastOpenDir() const { return FPlaylist.lastOpenDir(); }
    void SetLastOpenDir(const QString& Value) { FPlaylist.setLastOpenDir(Value); }
    int CurrentFileIdx() const { return FPlaylist.currentIndex(); }
    const Playlist& Rows() const { return FPlaylist; }
    // The list's font size in points (setting ListFontSize).
    void SetListFontSize(int points);

    // The facts of an audio file that DisplayFileInfo shows, as the player's
    // file-information reader (GetAudioInfo) delivers them.
    struct TFileFacts {
        QString FileName;  // name part only
        QString FileSizeTxt;
        double DurationSec = 0.0;
        quint32 SampleRate = 0;
        quint32 Channels = 0;
        quint32 BitsPerSample = 0;
        QString Format;
    };
    // Fills the facts; false when the file cannot be read as audio.
    using TFileFactsReader = std::function<bool(const QString& FileName, TFileFacts& Facts)>;
    // The program binds GetAudioInfo here at start; without a reader every
    // file shows "NO FILE INFO". With `WaitMs` the reader must be safe on any
    // thread: DisplayFileInfo then reads on a thread of its own (a long file
    // without a header is walked through to learn its length), shows the
    // facts at once when they come within WaitMs, else an empty label until
    // they come. Without it, the reader runs on the GUI thread.
    static void SetFileFactsReader(TFileFactsReader Reader, std::optional<int> WaitMs = std::nullopt);
    // The two lines of Label1 for FileName, separated by a lone CR.
    static QString FileInfoText(const QString& FileName);
    // Shows the facts of FileName in Label1; a later call supersedes a read
    // still running.
    void DisplayFileInfo(const QString& FileName);
    // Called after play-state changes; nothing depends on it yet.
    void UpdatePlayPause();

    // ---- commands ----------------------------------------------------------
    void btnClearClick();
    void btnLoadClick();
    void btnSaveClick();
    void btnAddFileClick();
    void btnAddFolderClick();
    void btnRemoveClick();
    void btnPlayFromListClick();
    void btnPauseClick();
    void btnStopClick();
    void btnPrevFileClick();
    void btnNextFileClick();
    void cbAutoStopClick();
    void SpeedButton1Click();
    void btnOptionsClick();
    void miBrowsClick();
    // A row of the list dropped at pos (PList viewport coordinates).
    void PListDragDrop(QPoint pos);
    // Files and folders dropped from the file manager.
    void WMDropFiles(const QStringList& paths);
    void tbVolumeChange();
    // A wheel step at a global point; true when it was used (over tbVolume).
    bool FormMouseWheel(int WheelDelta, QPoint MousePos);

    // The add-files dialog's filters; "All Supported Files" is preselected.
    static QStringList AddFilesFilters();
    static constexpr int AddFilesFilterIndex = 6;

    // ---- controls ----------------------------------------------------------
    QLabel* Label1 = nullptr;
    TQrGbar* gbIUv = nullptr;
    QFrame* pnPlayList = nullptr;
    QToolButton* btnClear = nullptr;
    QToolButton* btnLoad = nullptr;
    QToolButton* btnSave = nullptr;
    QToolButton* btnAddFile = nullptr;
    QToolButton* btnAddFolder = nullptr;
    QToolButton* btnRemove = nullptr;
    QFrame* Panel1 = nullptr;
    QToolButton* btnPlayFromList = nullptr;
    QToolButton* btnPause = nullptr;
    QToolButton* btnStop = nullptr;
    QToolButton* btnPrevFile = nullptr;
    QToolButton* btnNextFile = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* cbAutoStop = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* btnOptions = nullptr;
    QFrame* pnVolume = nullptr;
    TQrGbar* tbVolume = nullptr;
    TPlayListView* PList = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* miPlayCurrent = nullptr;
    QAction* miAddFile = nullptr;
    QAction* miAddFolder = nullptr;
    QAction* miOpen = nullptr;
    QAction* miSave = nullptr;
    QAction* miDeleteLine = nullptr;
    QAction* miClear = nullptr;
    QAction* miBrows = nullptr;
    QAction* Settings1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void CreateListPanel();
    void CreateTransportPanel();
    void CreateVolumePanel();
    void CreateList();
    void CreatePopupMenu();
    void PlaceAnchoredControls();
    void SetCaption();
    int SelectedRow() const;
    // Selects row, scrolls it into view (partly visible is enough) and, with
    // focus, gives the list the keyboard focus.
    void SelectRow(int row, bool focus);
    void SelectLastRowAndFocus();
    void OpenListFile(const QString& fileName);
    void OnSelectionChanged();
    void ShowFileInfoText(const QString& text);

    Playlist FPlaylist;
    TPlayerLink FPlayer;
    // What the window shares with the threads reading facts.
    NewestJob<QString> FFactsRead;
};

// The one playlist window of the running player. The player makes it once its
// main window has been painted; asking for it before that makes it at once
// through the maker the main window registers (nullptr without a maker).
TfrmList* frmList();
// The playlist window if it has been made, without making it.
TfrmList* frmListIfMade();
// How the running player makes and binds its playlist window; empty for none.
void SetListWindowMaker(std::function<void()> maker);
