#pragma once
// TForm1, the player's main window. Its members are defined in the files of
// this folder, one per concern:
//   uMain.cpp                creation, show, close, resize, compact, intake
//   MainControls.cpp         the controls, their look, places and anchors
//   MainSettings.cpp         settings read by the window, settings and About buttons
//   MainTransport.cpp        engine, transport, position timer, end of track
//   MainVolume.cpp           volume and equalizer
//   MainFileInfo.cpp         the file-info notice
//   MainTimeline.cpp         timeline view, zoom, scroll
//   MainTimelineMouse.cpp    timeline mouse, menu and lock
//   MainMarkerFile.cpp       the markers' changed state and their file
//   MainMarkersCommands.cpp  marker commands
//   MainMarkersList.cpp      the marker list
//   MainMarkerUndo.cpp       undo and redo of marker changes
//   MainMarkerExchange.cpp   marker export and import, chapters of the file
//   MainKeys.cpp             keyboard and wheel
//   MainPlaylist.cpp         the playlist window's link to this window
// The sections below follow the same concerns.

#include "audio/bass.h"
#include "desktop/RecentFilesWriter.h"
#include "playback/StreamOpener.h"
#include "playback/WaveformBuilder.h"
#include "playlist/PlayListLink.h"
#include "settings/SettingsKeys.h"
#include "timeline/LoopSection.h"
#include "timeline/MarkerHistory.h"
#include "timeline/TMarker.h"
#include "timeline/TimelineTickRepaint.h"
#include "timeline/WaveformSummary.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QPainter;
class QResizeEvent;
class QShowEvent;
class QTableView;
class QTimer;
class QToolButton;
class QWheelEvent;
class CaptionLabel;
class HintWindow;
class MarkerListModel;
class TQrGbar;
class TimelinePaintBox;
class TimelineScrollBox;
class TfrmList;
class TfrmAbout;
class TfrmMsg;
enum class ButtonGlyph;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // ---- lifecycle, layout, intake ---------------------------------------------
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The window's caption; a second start finds the player by it.
    static constexpr const char* Caption = "QRT Velmo Player";
    // Outer size limits: the minimum is also the compact size; below the
    // picture width the picture gives way to the About button.
    static constexpr int MinWidth = 725;
    static constexpr int MinHeight = 231;
    static constexpr int PictureMinWidth = 842;
    static constexpr int DesignWidth = 907;
    static constexpr int DesignHeight = 373;

    // The command-line file the first show opens; empty for none.
    void SetCommandLineFile(const QString& path) { FCommandLineFile = path; }

    void FormCreate();
    void FormShow();
    // Returns CanClose.
    bool FormCloseQuery();
    void FormClose();
    void FormResize();

    void btnCompactClick();
    void Image1Click();
    void btnOptionsClick();
    void btnPlayListClick();
    void btnHelpClick();
    void btnAddToPlayListClick();
    void btnNextFileClick();
    void btnPrevFileClick();
    void cbAutoScrollMouseUp();
    void btnOpenFileClick();

    // A path handed over by a second start of the program.
    void WMCopyData(const QString& path);
    // Files dropped on the window, in the order the desktop reports them.
    void WMDropFiles(const QStringList& paths);
    // Whether the hand-off and the drop take a file of this name (by its
    // extension, without regard to case).
    static bool IsAcceptedAudioFile(const QString& path);
    // The Open dialog's filters; the last one, "All Supported Files", is preselected.
    static QStringList OpenDialogFilters();

    bool Compact() const { return FCompact; }

    int LastWidth() const { return FlastWidth; }
    int LastHeight() const { return FlastHeight; }

    // Controls of the window (created by the window, owned by Qt's parent tree).
    QFrame* pnPlay = nullptr;
    QToolButton* btnOpenFile = nullptr;
    QToolButton* btnPlayPause = nullptr;
    QToolButton* btnStop = nullptr;
    TQrGbar* gbIUv = nullptr;
    QFrame* pnMarkers = nullptr;
    QFrame* pnPlayList = nullptr;
    QToolButton* btnAddToPlayList = nullptr;
    QToolButton* btnPrevFile = nullptr;
    QToolButton* btnNextFile = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QToolButton* btnPlayList = nullptr;
    QToolButton* btnOptions = nullptr;
    QToolButton* btnCompact = nullptr;
    QLabel* lbPosition = nullptr;
    QLabel* lbDuration = nullptr;
    QLabel* lbName = nullptr;
    QFrame* Panel2 = nullptr;
    QToolButton* btnHelp = nullptr;
    QFrame* pnEq = nullptr;
    TQrGbar* eq1 = nullptr;
    TQrGbar* eq2 = nullptr;
    TQrGbar* eq3 = nullptr;
    TQrGbar* eq4 = nullptr;
    TQrGbar* eq5 = nullptr;
    TQrGbar* eq6 = nullptr;
    TQrGbar* eq7 = nullptr;
    TQrGbar* eq8 = nullptr;
    TQrGbar* eq9 = nullptr;
    QToolButton* btnResetEq = nullptr;
    QCheckBox* cbEq = nullptr;
    QToolButton* btnAbout = nullptr;
    QLabel* Image1 = nullptr;
    CaptionLabel* lbVolume = nullptr;
    QFrame* Panel1 = nullptr;
    TQrGbar* tbVolume = nullptr;
    QTimer* Timer1 = nullptr;

    // The product's documentation page (the help button).
    static constexpr const char* DocumentationUrl =
        "https://github.com/velmoplayer/velmoplayer#readme";

    // ---- engine, volume, equalizer ---------------------------------------------
    // Runs after a load's stream attempt, told whether the file loaded;
    // not run when a newer load came first.
    using LoadDone = std::function<void(bool loaded)>;
    void LoadAudioFile(const QString& FileName, LoadDone then = {});
    // A file is still opening (its load ends later).
    bool LoadPending() const;
    void Play_Pause();
    void Stop();
    void btnPlayPauseClick();
    void btnStopClick();
    bool GetisPlaying() const;
    bool isPlaying() const { return GetisPlaying(); }
    BOOL AutoStop() const { return FAutoStop; }
    void SetAutoStop(BOOL Value);
    void CheckBox1Click();
    void Timer1Timer();
    // Restarts the sleeping tick: the play state or the position may change.
    void WakeTick();
    // The end-of-stream callback given to the audio library (library thread).
    static void EndSyncProc(HSYNC handle, DWORD channel, DWORD data, void* user);

    // Library start (once, after the first paint or at the first load) and
    // end (close of the window).
    void StartAudioLibrary();
    void EndAudioLibrary();

    DWORD Channel() const { return FChannel; }
    double Duration() const { return FDuration; }
    const QString& AudioFileName() const { return FAudioFileName; }
    // The image btnPlayPause shows: 0 the play symbol, 1 the pause symbol.
    int PlayPauseImage() const { return FPlayPauseImage; }

    // Volume and equalizer.
    static float VolumeToGain(int volume);
    // Whether the effects library speaks the interface the equalizer is
    // written for (2.4.x in the high word).
    static bool IsSupportedFxVersion(DWORD version);
    void SetVolume(int Volume);
    int GetVolume() const;
    void tbVolume_Change();
    void tbVolumeMouseUp();
    void Panel1Resize();
    void cbEqClick();
    void eq1Change(TQrGbar* Sender);
    void btnResetEqClick();
    void RemoveEqualizer();
    // The facts of the current file in a 12 s notice at the pointer
    // (timeline menu "Show File Info...", click on lbName).
    void miFileInfoClick();
    // The equalizer has as many bands as the settings keep.
    static constexpr int EqBandCount = ParameterSettings::kEqBands;
    const std::array<HFX, EqBandCount>& EqHandles() const { return FEQHandles; }
    std::array<TQrGbar*, EqBandCount> tbEQ{};

    // Band centres (Hz) and colours when the equalizer is on.
    static constexpr std::array<float, EqBandCount> EqCenters = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    static QColor EqBandColor(int index);
    static QColor EqOffColor();
    // "63Hz" and "63Hz 0db".
    static QString EqBandHint(int index);
    static QString EqBandHint(int index, int gain);

    // ---- view, zoom, mouse, marker model and file ------------------------------
    // Entry points for the rest of the window:
    //   CreateTimelineControls(panel)  once, from creation, before the layout.
    //       Creates ScrollBox1 (PaintBox1 inside, pmTimeline as its menu), pnZoon
    //       (btnZoomOut, btnZoomIn, Label1, cbAutoScroll), LbZoomFactor (hidden)
    //       at their design places on the window, and btnSaveMarkers and
    //       lbMarkers inside `panel` (Panel2). Sets the zoom start values, the
    //       idle drag state and the "saved" state. The layout then stretches
    //       ScrollBox1 over the full width (height 78). Calling it again does
    //       nothing. ScrollBox1 offers horizontalScrollBar() and viewport()
    //       (PaintBox1, as wide as the view) like a scroll area.
    //   The load, the tick and the keys set FZoomFactor, FZoomExponent,
    //       MarkerClickToleranceSec and LbZoomFactor themselves and call
    //       LoadMarkersForFile, UpdateTimelineWidth, ScrollToPixel and
    //       PaintBox1->update() as the engine's steps say.
    //   TimelineUserScrolled()   the scroll hook: unchecks cbAutoScroll. The
    //       scroll bar and wheel turns that reach ScrollBox1 call it already; a
    //       wheel handler that consumes a turn over the timeline before it gets
    //       there (the zoom of the wheel) calls it itself.
    //   Menu items of other subsystems: pmTimeline holds all its items in order;
    //       the owner of an item's command connects its triggered() signal and
    //       enables it (they start disabled): DropMarkerPlayPosition1,
    //       miDeleteMarkerTL and miDeleteAllMarkers (marker commands),
    //       miFileInfo (file information), miSettings (btnOptionsClick).
    //   RebuildMarkerView() sorts FMarkers and rebuilds the marker list view;
    //       SelectMarkerRow(i) selects a marker's row. Both hand over to the
    //       marker list (RefreshMarkerList, SelectMarkerInList) once it exists.
    //   SaveLastPosMarker() expects its caller to have checked the settings
    //       AutoSave and AutoSaveLastPos, as the close request does.
    void CreateTimelineControls(QWidget* markerStatusPanel);
    void TimelineUserScrolled();

    // Marker model.
    TMarkerList FMarkers;
    double MarkerClickToleranceSec = 0.4;   // 4 pixels at the current zoom
    bool FMarkersFileLoaded = false;        // the .mrk was read or written since the load
    bool MarkersChanged() const { return FMarkersChanged != 0; }
    void SetMarkersChanged(bool Value);

    // Marker file.
    void LoadMarkersForFile(const QString& FileName);
    void btnSaveMarkersClick();
    bool ConfirmSaveMarkers();   // false when the user cancelled
    void SaveLastPosMarker();

    // Zoom and view.
    double FZoomFactor = 10.0;     // pixels per second
    double FZoomExponent = 1.0;    // log10 of FZoomFactor
    void btnZoomInClick();
    void btnZoomOutClick();
    void UpdateTimelineWidth();
    void ScrollToPixel(qint64 X);
    void PaintBox1Paint(QPainter& canvas, const QRect& exposed);
    // The whole view again: a setting of the timeline's look changed.
    void RepaintTimeline();
    // The waveform of the loaded file, as far as it is computed.
    const WaveformSummary& Waveform() const { return FWaveform; }
    bool WaveformFinished() const { return FWaveformBuilder.finished(); }

    // Mouse. X is a pixel of the picture, Y of the paint box.
    bool FindClosestMarkerAtPixel(int X, int& MarkerIndex) const;
    void PaintBox1MouseDown(Qt::MouseButton Button, Qt::MouseButtons Shift, int X, int Y);
    void PaintBox1MouseMove(Qt::MouseButtons Shift, int X, int Y);
    void PaintBox1MouseUp(Qt::MouseButton Button, Qt::MouseButtons Shift, int X, int Y);
    void miLockClick();
    // Ends a drag that something other than its drop interrupts (a key that
    // changes the markers, a new file): the marker goes back where the drag
    // took it from, and the later release moves nothing.
    void EndMarkerDrag();
    bool LockMarkers = false;      // the settings store reads and writes it
    int FDraggingMarkerIndex = -1; // the marker the mouse holds; -1: none
    // The held marker moves: the pointer has travelled the desktop's drag
    // distance since the press. Until then the press is a click.
    bool FDragging = false;

    // Controls.
    TimelineScrollBox* ScrollBox1 = nullptr;
    TimelinePaintBox* PaintBox1 = nullptr;
    QMenu* pmTimeline = nullptr;
    QAction* DropMarkerPlayPosition1 = nullptr;
    QAction* miDeleteMarkerTL = nullptr;
    QAction* miLock = nullptr;
    QAction* N4 = nullptr;
    QAction* miFileInfo = nullptr;
    QAction* N1 = nullptr;
    QAction* miSettings = nullptr;
    QAction* N2 = nullptr;
    QAction* miDeleteAllMarkers = nullptr;
    QFrame* pnZoon = nullptr;
    QToolButton* btnZoomOut = nullptr;
    QToolButton* btnZoomIn = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* cbAutoScroll = nullptr;
    QLabel* LbZoomFactor = nullptr;
    QToolButton* btnSaveMarkers = nullptr;
    CaptionLabel* lbMarkers = nullptr;  // two lines: the caption holds a CR

    void RebuildMarkerView();
    void SelectMarkerRow(int Index);

    // ---- commands, marker list, editor -----------------------------------------
    // CreateMarkerControls is called once by the window's creation, after the
    // panels pnMarkers and Panel2 exist (they are passed in). It puts
    // btnPreviousMarker, btnNextMarker, btnAddMarker and btnDeleteMarker into
    // markersPanel and btnEditMarker and btmDeleteLvMarker into panel2, each at
    // its design place, and creates the marker list lvMarkers on the window at
    // (2,194), 883 x 172 (the window keeps it anchored to all four sides), with
    // its menu pmMarkers. The timeline menu's marker items and the keys M and
    // Delete call the handlers below.
    void CreateMarkerControls(QWidget* markersPanel, QWidget* panel2);

    void btnAddMarkerClick();       // a marker at the play position
    void btnDeleteMarkerClick();    // the marker nearest to the play position
    void btmDeleteLvMarkerClick();  // the selected row's marker
    void miDeleteAllMarkersClick();
    void btnNextMarkerClick();      // pauses, then seeks to the next marker
    void btnPreviousMarkerClick();  // pauses, then seeks to the previous marker
    void lvMarkersDblClick();       // seeks to the selected row's time
    void btnEditMarkerClick();      // edits the selected row's description

    // Sorts the markers and rebuilds the list from them, selecting the same
    // row position as before (not necessarily the same marker).
    void RefreshMarkerList();
    // Focuses the list, selects row Index and scrolls it into view; an index
    // outside the rows does nothing.
    void SelectMarkerInList(int Index);
    // The selected row of lvMarkers, -1 when none.
    int SelectedMarkerRow() const;

    QToolButton* btnPreviousMarker = nullptr;
    QToolButton* btnNextMarker = nullptr;
    QToolButton* btnAddMarker = nullptr;
    QToolButton* btnDeleteMarker = nullptr;
    QToolButton* btnEditMarker = nullptr;
    QToolButton* btmDeleteLvMarker = nullptr;
    QTableView* lvMarkers = nullptr;
    MarkerListModel* lvMarkersRows = nullptr;  // the rows lvMarkers shows
    QMenu* pmMarkers = nullptr;
    QAction* miEditMarker = nullptr;
    QAction* miJump = nullptr;
    QAction* miDelete = nullptr;
    QAction* N3 = nullptr;
    QAction* miClearMarkersList = nullptr;

    // ---- undo and redo of marker changes ----------------------------------------
    // Every change of the markers since the file was loaded is one step: add,
    // delete, a whole drag, an edit, delete all, an import. Ctrl+Z takes the
    // last one back, Ctrl+Shift+Z and Ctrl+Y do it again; the marker list's
    // menu has the same two items. Loading a file starts a new history.
    void miUndoMarkersClick();
    void miRedoMarkersClick();
    // Records FMarkers, as they are after a change, as one step named label.
    void RecordMarkerChange(const QString& label);
    // Puts a whole new marker list in place as one step (an import).
    void ReplaceAllMarkers(const TMarkerList& markers, const QString& label);
    const MarkerHistory& MarkerUndoHistory() const { return FMarkerHistory; }
    QAction* miUndoMarkers = nullptr;
    QAction* miRedoMarkers = nullptr;
    // ---- marker export and import, chapters of the file (MainMarkerExchange.cpp)
    // Adds a separator, "Export Markers..." and "Import Markers..." to menu.
    void AddMarkerExchangeItems(QMenu* menu);
    void miExportMarkersClick();  // save dialog; the file type names the format
    void miImportMarkersClick();  // open dialog; merged into the list, NOT SAVED
    // A file without a marker file shows the chapters it carries as its
    // markers, SAVED.
    void LoadChapterMarkers();

    // ---- keyboard and wheel ------------------------------------------------------
    // Virtual key codes of the shortcuts.
    enum : int {
        VK_SPACE = 0x20,
        VK_LEFT = 0x25,
        VK_RIGHT = 0x27,
        VK_DELETE = 0x2E,
        VK_L = 0x4C,
        VK_M = 0x4D,
        VK_R = 0x52,
        VK_OEM_4 = 0xDB,  // [
        VK_OEM_5 = 0xDC,  // backslash
        VK_OEM_6 = 0xDD,  // ]
        VK_OEM_PLUS = 0xBB,
        VK_OEM_MINUS = 0xBD,
        VK_OTHER = 0xFF,  // any key without a shortcut here
    };
    // The virtual key of a Qt key event (0 for keys without a shortcut).
    static int VirtualKeyOf(const QKeyEvent& event);
    // Key is set to 0 when the key is consumed.
    void FormKeyDown(int& Key);
    // Returns Handled.
    bool FormMouseWheel(int WheelDelta, QPoint MousePos);

    // ---- practice: the loop of the section around the play head, the speed -----
    // Key R and the menus' loop items: loops the section around the play
    // head, or ends the loop.
    void ToggleLoop();
    void EndLoop();
    bool LoopActive() const { return FLoop.has_value(); }
    const std::optional<LoopSection>& Loop() const { return FLoop; }
    // A marker was dragged from `from` to `to`: a loop bound on it follows.
    void FollowLoopMarkerMove(double from, double to);
    // After any marker change: a loop whose marker is gone ends.
    void CheckLoopMarkers();
    // Keys [ ] \, the speed label's wheel, the desktop: the speed in percent
    // (PlaybackSpeed), kept for every file until changed.
    void SetSpeed(int percent);
    void StepSpeed(int steps);
    int Speed() const { return FSpeed; }

    // ---- the playlist window's link to this window -----------------------------
    // Creates the playlist window unless it exists and binds its transport,
    // volume and settings commands to this window (MainPlaylist.cpp). Runs
    // once this window has been painted, or when the playlist is first needed.
    void CreatePlayListWindow();
    // At creation: the playlist's file facts reader, and how the playlist
    // window is made when first asked for.
    void PreparePlayListWindow();
    // The playlist step of the intake and of the add button: appends FileName
    // to the playlist without focusing it.
    void AddToPlayList(const QString& FileName);

signals:
    // The position tick woke (see WakeTick): whatever else polls the player
    // looks again.
    void TickWoken();
    // The window has been painted for the first time: what the first picture
    // does not need starts now.
    void FirstPainted();
    // The playlist window has just been made (it lives for the rest of the
    // run): the settings read before reach it now.
    void PlayListWindowMade(TfrmList* list);
    // ---- lifecycle, layout, intake ---------------------------------------------
    // The window is closing for good: the first step of FormClose, before the
    // playlist is saved and the audio library ends.
    void Closing();
    // The window has closed for good (after FormClose). Closing the main
    // window ends the run, so the program quits on it, also while the About
    // window or a notice is still shown.
    void Closed();

protected:
    // ---- lifecycle, layout, intake ---------------------------------------------
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- lifecycle, layout, intake ---------------------------------------------
    void CreateControls();
    void PlaceTimelineControls();
    void ApplyApplicationHints();
    void HookScrollBox();
    void FocusMarkerList();
    QWidget* lvMarkersWidget() const;
    QToolButton* MakeButton(QWidget* parent, const char* name, ButtonGlyph glyph, const QString& hint, QPoint at);
    QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at);
    // The window's lime text (file name, volume, speed), bold where asked.
    void UseLimeText(QLabel* label, bool bold);
    void CreatePlayPanel();
    void CreatePlayListPanel();
    void CreateMarkerPanels();
    void ConnectTimelineMarkerItems();
    void CreateEqPanel();
    void CreateVolumePanel();
    void ApplyDarkLook();
    void PlaceAnchoredControls();
    // Moves w to its design place; with the right/bottom anchors the control
    // keeps its distance to those edges of the window.
    struct Anchored {
        QWidget* widget;
        QRect design;
        bool right;   // the right edge follows the window
        bool left;    // the left edge stays (false: the control moves with the right edge)
        bool bottom;  // the bottom edge follows the window
    };
    void Anchor(QWidget* w, QRect design, bool left, bool right, bool bottom);
    std::vector<Anchored> FAnchored;

    // Settings the main window reads. Until the settings window exists these
    // are the settings' defaults.
    bool SettingAutoSave() const;
    bool SettingAutoSaveLastPos() const;
    bool SettingAutoSaveList() const;
    bool SettingAddCL() const;
    bool SettingAddOnDrop() const;
    bool SettingAddOnOpen() const;
    int SettingSeekTime() const;
    bool SettingShowWaveform() const;
    bool SettingShowMarkerNames() const;
    bool SettingNameMarkersOnAdd() const;

    // The About window and the notice: made on first use, they live as
    // long as this window (one made elsewhere before is used instead).
    TfrmAbout& AboutWindow();
    TfrmMsg& NoticeWindow();
    std::unique_ptr<TfrmAbout> FAboutWindow;
    std::unique_ptr<TfrmMsg> FNoticeWindow;

    bool FFirstShowProcessed = false;
    bool FCompact = false;
    int FlastWidth = 0;
    int FlastHeight = 0;
    QString FCommandLineFile;
    bool FClosing = false;

    // ---- engine, volume, equalizer ---------------------------------------------
    // Enables miFileInfo and binds it and a click on lbName to miFileInfoClick.
    void ConnectFileInfo();
    void ResetForNewFile();
    void FreeChannel();
    // The rest of a load once its stream attempt has finished.
    void FinishLoad(const StreamOpener::Result& opened, const LoadDone& then);
    bool ApplyOpenedStream(const StreamOpener::Result& opened);
    void ShowOpening();
    static int LoadWaitMs();
    // How long a load may take before it goes on in the background.
    static constexpr int DefaultLoadWaitMs = 40;
    static constexpr int OpeningLabelDelayMs = 200;
    StreamOpener FOpener;
    QTimer* FOpeningLabelDelay = nullptr;
    QString FOpeningName;
    QString FNameBeforeOpening;
    bool FOpeningShown = false;
    bool FPlayWhenOpened = false;  // play was asked for while the file opened
    bool FAudioStarted = false;
    bool FAudioEnded = false;
    bool FFirstPainted = false;
    void HandleTrackEnd(DWORD channel, quint64 serial);
    void SetPlayPauseImage(int index);
    void RepaintTimelineForTick(qint64 head);
    // The tick's work; false when nothing it shows can change by itself.
    bool ShowPlayState();
    static constexpr int QuietTicksBeforeSleep = 2;
    int FQuietTicks = 0;
    double FLastTickPosition = -1.0;
    void SetupBandBars();
    void ColorBandBars();
    void SetupEqualizer();
    void SetEqBandGain(int Index, float Gain);
    // The band's name and gain in a hint above the band: it never covers a
    // band, and the desktop gives it no mouse or wheel input anyway.
    void ShowBandHint(TQrGbar* bar);
    HintWindow* FBandHint = nullptr;

    DWORD FChannel = 0;
    double FDuration = 0.0;
    QString FAudioFileName;
    BOOL FAutoStop = -1;
    int FPlayPauseImage = 0;
    std::array<HFX, EqBandCount> FEQHandles{};
    // Practice (MainPractice.cpp).
    void CreatePracticeControls();
    void SetLoopSection(const std::optional<LoopSection>& section);
    // The tick: a play position outside the loop (a seek) takes the loop to
    // the section there.
    void FollowLoopToPosition(double position);
    void ApplySpeedToChannel();
    // The speed label takes the About button's place while the picture
    // shows, and sits right of it otherwise: it never covers either.
    void PlaceSpeedLabel(bool picture);
    std::optional<LoopSection> FLoop;
    int FSpeed = 100;
    QLabel* lbSpeed = nullptr;
    QAction* miLoopTL = nullptr;  // timeline menu
    QAction* miLoop = nullptr;    // marker list menu
    // Each stream's end callback carries a ticket naming the window and the
    // load it belongs to, so an end that arrives after the stream has been
    // replaced is recognised and dropped. A ticket must outlive its stream's
    // free (BASS_StreamFree returns only after a running callback has ended);
    // keeping them as long as the window is the simple way to be sure.
    struct EndSyncTicket {
        TForm1* form;
        quint64 serial;
    };
    std::vector<std::unique_ptr<EndSyncTicket>> FEndSyncTickets;
    quint64 FLoadSerial = 0;
    // What each tick repaints of the timeline.
    TimelineTickRepaint FTimelineTick;
    // Every successful load goes to the desktop's recent files list.
    RecentFilesWriter FRecentFiles;
    // The playlist window, bound by CreatePlayListWindow. Its mirrors of this
    // window's state use FPlayList (nothing to show before it exists); what
    // needs the list itself goes through PlayList(), which makes it first.
    TPlayListLink FPlayList;
    const TPlayListLink& PlayList();

    // ---- view, zoom, mouse, marker model and file ------------------------------
    bool TimelineLoaded() const;
    double TimelinePlayPosition() const;
    void TimelineSeek(double Seconds);
    // Sets the zoom factor and its exponent, the click tolerance and the label.
    void SetZoom(double factor, double exponent);
    void ApplyZoomStep();
    void CreateTimelineMenu();
    void CreateZoomPanel(QWidget* markerStatusPanel);
    // Starts the waveform's work for the loaded file when the setting asks
    // for it and it has not started yet.
    void StartWaveform();
    // Ends the waveform's work and forgets the old file's waveform.
    void DropWaveform();
    // The tick's part: takes what the worker computed and repaints the
    // columns it covers.
    void CollectWaveform();

    int FMarkersChanged = 0;          // 32-bit boolean: -1 true, 0 false
    double FDragStartTime = 0.0;      // where a refused drop puts the marker back
    double FDragPressTime = 0.0;      // pointer time at the press, not limited to the track
    QPoint FDragPressView;            // pointer at the press, in view pixels
    QPoint FDragPointerView;          // pointer now, in view pixels
    QPoint ViewPointOf(int X, int Y) const;
    double HeldMarkerTime() const;
    void FollowPointerWithHeldMarker();
    // The marker file's reading stopped at a malformed line: the first save
    // over it keeps the original as "<name>.mrk.bak".
    bool FMarkersFileDamaged = false;
    MarkerHistory FMarkerHistory;
    WaveformBuilder FWaveformBuilder;
    WaveformSummary FWaveform;

    // ---- commands, marker list, editor -----------------------------------------
    void CreateMarkerButtons(QWidget* markersPanel, QWidget* panel2);
    void CreateMarkerListView();
    void CreateMarkerListMenu();
    void CreateUndoItems();
    // Shows a list the history moved to, with its saved state.
    void ShowMarkerHistoryStep(const TMarkerList& markers);
    void UpdateUndoItems();
    // A seek that keeps the play state, followed by scrolling the timeline to
    // the new position.
    void SeekToMarkerTime(double seconds);
    // Pauses a playing stream, then seeks to the step's marker if it has one.
    void StepToMarker(bool forward);
    // Opens the editor for the marker at `time`, which was just added.
    void NameNewMarker(double time);

    // ---- keyboard and wheel ------------------------------------------------------
    void SeekBy(double seconds);
    bool PointerOver(QWidget* control, QPoint screenPos) const;
};

// The one main window of the running player (nullptr before it is created).
TForm1* Form1();
