#include "mainwindow/uMain.h"

#include "controls/ButtonImages.h"
#include "controls/CaptionLabel.h"
#include "controls/DarkLook.h"
#include "controls/uAbout.h"
#include "controls/uMessage.h"
#include "controls/uQrGbar.h"
#include "platform/AppError.h"
#include "platform/AudioExtensions.h"
#include "platform/FileHelpers.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/TColor.h"
#include "playlist/uList.h"
#include "settings/LangTexts.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/uTimeline.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace {
TForm1* g_form1 = nullptr;

constexpr int TimerInterval = 25;

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

}  // namespace

TForm1* Form1() { return g_form1; }

static void InitResources() { Q_INIT_RESOURCE(resources); }

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    InitResources();
    g_form1 = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(Caption));
    FormCreate();
}

TForm1::~TForm1() {
    if (!FClosing)
        EndAudioLibrary();
    if (g_form1 == this) {
        g_form1 = nullptr;
        SetListWindowMaker({});
    }
}

// ---- creation -------------------------------------------------------------------

TfrmAbout& TForm1::AboutWindow() {
    if (!frmAbout())
        FAboutWindow = std::make_unique<TfrmAbout>();
    return *frmAbout();
}

TfrmMsg& TForm1::NoticeWindow() {
    if (!frmMsg())
        FNoticeWindow = std::make_unique<TfrmMsg>();
    return *frmMsg();
}

void TForm1::FormCreate() {
    // Dark look: the title bar belongs to the window manager, the window
    // itself gets the dark palette.
    ApplyDarkLook();
    FFirstShowProcessed = false;
    ApplyApplicationHints();
    CreateControls();
    // playlist: the playlist window, created once, without an owner.
    PreparePlayListWindow();
    SetupBandBars();
    setAcceptDrops(true);
    // The window sees keys and wheel turns before its controls.
    qApp->installEventFilter(this);
    HookScrollBox();
    // The sound device starts once the window is on screen (or at the first
    // load, if that comes first).
    FMarkers.clear();
    SetZoom(ZoomFactorOf(TimelineZoom::kStartExponent), TimelineZoom::kStartExponent);
    lbPosition->setText(QStringLiteral("00:00:00"));
    FAudioFileName.clear();
    SetMarkersChanged(false);
    FMarkersFileLoaded = false;
    FCompact = false;

    FOpeningLabelDelay = new QTimer(this);
    FOpeningLabelDelay->setSingleShot(true);
    FOpeningLabelDelay->setInterval(OpeningLabelDelayMs);
    connect(FOpeningLabelDelay, &QTimer::timeout, this, &TForm1::ShowOpening);

    connect(this, &TForm1::FirstPainted, this, &TForm1::StartAudioLibrary);

    Timer1 = new QTimer(this);
    Timer1->setInterval(TimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();
}

// ---- show, close, resize ------------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm1::FormShow() {
    ColorBandBars();
    if (width() == MinWidth && height() == MinHeight) {
        FCompact = true;
        FlastWidth = PictureMinWidth;
        FlastHeight = height() + 150;
    } else {
        FCompact = false;
    }
    FocusMarkerList();
    if (FFirstShowProcessed)
        return;
    FFirstShowProcessed = true;
    if (FCommandLineFile.isEmpty())
        return;
    // A load that fails on a malformed marker file ends the first-show
    // handling; the error is still shown.
    const QString path = FCommandLineFile;
    QTimer::singleShot(0, this, [this, path] {
        if (QFileInfo(path).isFile())
            LoadAudioFile(path);
        btnPlayPauseClick();
    });
}

void TForm1::FocusMarkerList() {
    if (lvMarkersWidget())
        lvMarkersWidget()->setFocus();
}

QWidget* TForm1::lvMarkersWidget() const {
    return lvMarkers;
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Refused until the close request has gone through: a marker save that
    // fails there (the application shows its error) keeps the window and the
    // unsaved markers, so the user can retry or answer No.
    event->ignore();
    if (!FormCloseQuery())
        return;
    // From here the window closes even when a file of the close cannot be
    // written (its error is shown); the destructor then ends the library.
    event->accept();
    try {
        FormClose();
    } catch (...) {
        emit Closed();
        throw;
    }
    emit Closed();
}

bool TForm1::FormCloseQuery() {
    if (SettingAutoSave()) {
        if (SettingAutoSaveLastPos())
            SaveLastPosMarker();
        if (!MarkersChanged())
            return true;
        try {
            btnSaveMarkersClick();
            return true;
        } catch (const AppError& error) {
            // The automatic save failed (a read-only or full folder): after
            // its error the save question decides, so the markers are neither
            // lost unseen nor able to keep the window from ever closing.
            prompts().error(error.message());
        }
    }
    return ConfirmSaveMarkers();
}

void TForm1::FormClose() {
    // The settings are written now (the running program binds this); a
    // failed write has been reported and closing goes on, so the playlist and
    // the library are still finished.
    emit Closing();
    // playlist: an empty list is not written, so the previous file stays.
    if (SettingAutoSaveList())
        PlayList().SaveList();
    EndAudioLibrary();
    FClosing = true;
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceAnchoredControls();
    FormResize();
}

void TForm1::FormResize() {
    const bool picture = width() >= PictureMinWidth;
    Image1->setVisible(picture);
    btnAbout->setVisible(!picture);
    PlaceSpeedLabel(picture);
    if (!FCompact && width() == MinWidth && height() == MinHeight) {
        FCompact = true;
        FlastWidth = PictureMinWidth;
        FlastHeight = height() + 150;
    }
}

void TForm1::btnCompactClick() {
    QSize current = size();
    if (isMaximized()) {
        // The window system restores the window later; its restored size is
        // known now.
        if (normalGeometry().isValid())
            current = normalGeometry().size();
        showNormal();
    }
    if (current == QSize(MinWidth, MinHeight) && FCompact) {
        FCompact = false;
        resize(FlastWidth, FlastHeight);
        return;
    }
    FCompact = true;
    FlastWidth = std::max(current.width(), PictureMinWidth);
    FlastHeight = current.height();
    resize(MinWidth, MinHeight);
}

// ---- buttons that hand work on --------------------------------------------------

void TForm1::btnPlayListClick() {
    // playlist: show the playlist window.
    PlayList().ShowWindow();
}

void TForm1::btnHelpClick() {
    shell().openUrl(QLatin1String(DocumentationUrl));
}

void TForm1::btnAddToPlayListClick() {
    // playlist: append the current file and say so at the pointer for 2 s.
    if (FChannel == 0)
        return;
    AddToPlayList(FAudioFileName);
    NoticeWindow().ShowMessageTimeout(uLang::File_msg + ' ' + QFileInfo(FAudioFileName).fileName() + ' ' +
                                          uLang::Form1_Added_to_PlayList_msg,
                                      2000, QCursor::pos() - QPoint(100, 100));
}

void TForm1::btnNextFileClick() {
    if (MarkersChanged() && SettingAutoSave())
        btnSaveMarkersClick();
    // playlist: then the playlist's next row.
    PlayList().PlayNext();
}

void TForm1::btnPrevFileClick() {
    if (MarkersChanged() && SettingAutoSave())
        btnSaveMarkersClick();
    // playlist: then the playlist's previous row.
    PlayList().PlayPrev();
}

void TForm1::cbAutoScrollMouseUp() {
    FocusMarkerList();
}

// ---- the scroll hook ----------------------------------------------------------------

// Scrolling the timeline by hand (scroll bar or wheel) switches auto-scroll
// off; loading a file switches it on again.
void TForm1::HookScrollBox() {
    if (!ScrollBox1)
        return;
    connect(ScrollBox1->horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) {
        if (cbAutoScroll && cbAutoScroll->isChecked())
            cbAutoScroll->setChecked(false);
    });
    ScrollBox1->viewport()->installEventFilter(this);
}

// ---- intake --------------------------------------------------------------------------

bool TForm1::IsAcceptedAudioFile(const QString& path) {
    return HasAcceptedExtension(path, LoadExtensions());
}

void TForm1::WMCopyData(const QString& path) {
    // A folder is not a file: handing one over saves nothing.
    if (QFileInfo(path).isFile() && SettingAutoSave() && MarkersChanged())
        btnSaveMarkersClick();
    if (!IsAcceptedAudioFile(path))
        return;
    LoadAudioFile(path, [this](bool loaded) {
        btnPlayPauseClick();
        // playlist: with AddCL on the file is appended to the playlist; a
        // file that did not load leaves the list alone.
        if (SettingAddCL() && loaded)
            AddToPlayList(FAudioFileName);
    });
}

void TForm1::WMDropFiles(const QStringList& paths) {
    if (SettingAutoSave()) {
        if (MarkersChanged())
            btnSaveMarkersClick();
    } else if (!ConfirmSaveMarkers()) {
        return;
    }
    const auto accepted = std::ranges::find_if(
        paths, [](const QString& path) { return IsAcceptedAudioFile(path) && !QFileInfo(path).isDir(); });
    if (accepted == paths.end())
        return;
    // playlist: with AddOnDrop on the dropped file is appended to the
    // playlist; a drop that loaded nothing adds nothing (not the previous
    // file again, nor an empty row).
    LoadAudioFile(*accepted, [this](bool loaded) {
        if (SettingAddOnDrop() && loaded)
            AddToPlayList(FAudioFileName);
    });
}

// Only files are taken: a web link or other data dragged over the window is
// refused, so it never leads to the save question.
void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedLocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedLocalPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    WMDropFiles(paths);
}

QStringList TForm1::OpenDialogFilters() {
    return {
        QStringLiteral("MP3 Files (*.mp3)"),
        QStringLiteral("WAV Files (*.wav)"),
        QStringLiteral("WMA Files (*.wma)"),
        QStringLiteral("OGG Files (*.ogg)"),
        QStringLiteral("MP4 Files (*.mp4)"),
        QStringLiteral("FLAC Files (*.flac)"),
        QStringLiteral("M4A (mp4 Audio) (*.m4a)"),
        QStringLiteral("All Supported Files (*.mp3 *.wav *.wma *.ogg *.flac *.mp4 *.m4a)"),
    };
}

void TForm1::btnOpenFileClick() {
    if (SettingAutoSave()) {
        if (MarkersChanged())
            btnSaveMarkersClick();
    } else if (!ConfirmSaveMarkers()) {
        return;
    }
    Prompts::FileDialog dialog;
    dialog.filters = OpenDialogFilters();
    dialog.filterIndex = 7;  // All Supported Files
    const QStringList chosen = prompts().openFiles(dialog);
    if (chosen.isEmpty())
        return;
    // playlist: with AddOnOpen on the chosen file is appended to the
    // playlist; a cancelled dialog or a refused file adds nothing.
    LoadAudioFile(chosen.first(), [this](bool loaded) {
        if (SettingAddOnOpen() && loaded)
            AddToPlayList(FAudioFileName);
    });
}

// ---- event routing --------------------------------------------------------------------

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // Any input may seek, change markers or start playing: the tick looks.
    if (IsUserInput(event->type()))
        WakeTick();
    if (event->type() == QEvent::Paint && watched == this && !FFirstPainted) {
        FFirstPainted = true;
        QTimer::singleShot(0, this, &TForm1::FirstPainted);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this)
            break;
        // A key the window passes on may come back here while it travels up
        // to the focused control's parents; the second look changes nothing.
        int key = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
        FormKeyDown(key);
        if (key == 0)
            return true;
        break;
    }
    case QEvent::Wheel: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this)
            break;
        // Only a vertical turn is a wheel turn here: sideways scrolling and
        // the empty start and end events of a touchpad gesture go on to the
        // control, so they never count as a turn down.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->angleDelta().y() != 0 &&
            FormMouseWheel(wheel->angleDelta().y(), wheel->globalPosition().toPoint()))
            return true;
        if (ScrollBox1 && watched == ScrollBox1->viewport() && cbAutoScroll && cbAutoScroll->isChecked())
            cbAutoScroll->setChecked(false);
        break;
    }
    // The bands show their hover hint in the band hint, not in a tooltip
    // that would cover the bands to the right.
    case QEvent::ToolTip:
        if (auto* bar = qobject_cast<TQrGbar*>(watched); bar && std::ranges::find(tbEQ, bar) != std::end(tbEQ)) {
            ShowBandHint(bar);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == Image1) {
            Image1Click();
            return true;
        }
        if (watched == cbAutoScroll || watched == CheckBox1)
            QTimer::singleShot(0, this, &TForm1::cbAutoScrollMouseUp);
        break;
    case QEvent::Resize:
        if (watched == Panel1)
            Panel1Resize();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
