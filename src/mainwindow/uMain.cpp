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

// Panels and buttons of the design.
constexpr int ButtonWidth = 30;
constexpr int ButtonHeight = 33;
constexpr int TimerInterval = 25;

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Plain);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    return panel;
}

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

void TForm1::ApplyDarkLook() {
    setMinimumSize(MinWidth, MinHeight);
    resize(DesignWidth, DesignHeight);
    setPalette(DarkPalette());
    setAutoFillBackground(true);
    setFont(WindowFont());
}

void TForm1::ApplyApplicationHints() {
    InstallHintStyle();
    QFont hintFont = QToolTip::font();
    hintFont.setPointSize(11);
    QToolTip::setFont(hintFont);
}

QToolButton* TForm1::MakeButton(QWidget* parent, const char* name, ButtonGlyph glyph,
                                const QString& hint, QPoint at) {
    return MakeFlatButton(parent, name, glyph, hint, QRect(at.x(), at.y(), ButtonWidth, ButtonHeight));
}

QLabel* TForm1::MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(at);
    label->adjustSize();
    return label;
}

void TForm1::CreateControls() {
    CreatePlayPanel();
    CreateMarkerPanels();
    PlaceTimelineControls();
    ConnectTimelineMarkerItems();
    CreatePlayListPanel();

    lbPosition = MakeLabel(this, "lbPosition", QStringLiteral("00:00:00.000"), QPoint(11, 123));
    lbPosition->setMinimumWidth(104);
    lbDuration = MakeLabel(this, "lbDuration", QStringLiteral("Duration: 00:00:00"), QPoint(117, 123));
    lbDuration->setMinimumWidth(180);
    lbName = MakeLabel(this, "lbName", QStringLiteral("Name"), QPoint(303, 122));
    lbName->setToolTip(QString());
    lbName->setCursor(Qt::PointingHandCursor);
    lbName->setTextFormat(Qt::PlainText);
    {
        QPalette lime = lbName->palette();
        lime.setColor(QPalette::WindowText, QColor(0, 255, 0));
        lbName->setPalette(lime);
    }
    Anchor(lbName, QRect(303, 122, 463, 23), true, true, false);
    ConnectFileInfo();

    CreateEqPanel();

    btnAbout = MakeButton(this, "btnAbout", ButtonGlyph::About,
                          uLang::Form1_btnAbout_hint, QPoint(641, 151));
    btnAbout->resize(31, 33);
    connect(btnAbout, &QToolButton::clicked, this, &TForm1::Image1Click);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(uLang::Form1_Image1_hint);
    Image1->setPixmap(QPixmap::fromImage(QImageReader(QStringLiteral(":/images/Image1.png"), "png").read()));
    Image1->installEventFilter(this);
    Anchor(Image1, QRect(738, 75, 179, 115), false, true, false);
    Image1->lower();

    CreateVolumePanel();
    CreatePracticeControls();
    PlaceAnchoredControls();
}

// The timeline's controls, made by the timeline, in this window's look.
void TForm1::PlaceTimelineControls() {
    CreateTimelineControls(Panel2);
    Anchor(ScrollBox1, QRect(0, 0, DesignWidth, 78), true, true, false);
    pnZoon->setFrameShadow(QFrame::Plain);
    pnZoon->setLineWidth(1);
    pnZoon->setAutoFillBackground(true);
    btnZoomOut->setText(QString());
    btnZoomOut->setIcon(ButtonImage(ButtonGlyph::ZoomOut));
    btnZoomOut->setIconSize(QSize(24, 24));
    btnZoomIn->setText(QString());
    btnZoomIn->setIcon(ButtonImage(ButtonGlyph::ZoomIn));
    btnZoomIn->setIconSize(QSize(24, 24));
    cbAutoScroll->installEventFilter(this);
}

void TForm1::CreatePlayPanel() {
    pnPlay = MakePanel(this, "pnPlay");
    pnPlay->setGeometry(2, 81, 115, 41);
    btnOpenFile = MakeButton(pnPlay, "btnOpenFile", ButtonGlyph::Open, uLang::Form1_btnOpenFile_hint, QPoint(3, 4));
    connect(btnOpenFile, &QToolButton::clicked, this, &TForm1::btnOpenFileClick);
    btnPlayPause = MakeButton(pnPlay, "btnPlayPause", ButtonGlyph::Play,
                              uLang::Form1_btnPlayPause_hint, QPoint(36, 4));
    connect(btnPlayPause, &QToolButton::clicked, this, &TForm1::btnPlayPauseClick);
    btnStop = MakeButton(pnPlay, "btnStop", ButtonGlyph::Stop, uLang::Form1_btnStop_hint, QPoint(69, 4));
    connect(btnStop, &QToolButton::clicked, this, &TForm1::btnStopClick);

    gbIUv = new TQrGbar(pnPlay);
    gbIUv->setObjectName(QStringLiteral("gbIUv"));
    gbIUv->setGeometry(103, 1, 9, 39);
    gbIUv->SetBorder(false);
    gbIUv->SetDirection(gbdVertical);
    gbIUv->SetBorderColor(clSilver);
    gbIUv->SetBarColor(clLime);
    gbIUv->SetBgColor(0x414141);
    gbIUv->SetMax(100);
    gbIUv->SetValue(0);
    gbIUv->SetSetByMouse(false);
}

void TForm1::CreateMarkerPanels() {
    // The marker commands fill these two panels; the help button sits at the
    // right end of the second.
    pnMarkers = MakePanel(this, "pnMarkers");
    pnMarkers->setGeometry(116, 81, 151, 41);
    Panel2 = MakePanel(this, "Panel2");
    Panel2->setGeometry(2, 148, 438, 41);
    btnHelp = MakeButton(Panel2, "btnHelp", ButtonGlyph::Help,
                         uLang::Form1_btnHelp_hint, QPoint(403, 4));
    connect(btnHelp, &QToolButton::clicked, this, &TForm1::btnHelpClick);
    CreateMarkerControls(pnMarkers, Panel2);
    Anchor(lvMarkers, QRect(2, 194, 883, 172), true, true, true);
}

// The timeline menu's marker items run the marker commands; its "Settings..."
// opens the settings window like btnOptions.
void TForm1::ConnectTimelineMarkerItems() {
    const std::pair<QAction*, void (TForm1::*)()> items[] = {
        {DropMarkerPlayPosition1, &TForm1::btnAddMarkerClick},
        {miDeleteMarkerTL, &TForm1::btnDeleteMarkerClick},
        {miDeleteAllMarkers, &TForm1::miDeleteAllMarkersClick},
    };
    for (const auto& [action, command] : items) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, command);
    }
    miSettings->setEnabled(true);
    connect(miSettings, &QAction::triggered, this, &TForm1::btnOptionsClick);
}

void TForm1::CreatePlayListPanel() {
    pnPlayList = MakePanel(this, "pnPlayList");
    pnPlayList->setGeometry(397, 81, 272, 41);
    btnAddToPlayList = MakeButton(pnPlayList, "btnAddToPlayList", ButtonGlyph::AddToPlayList,
                                  uLang::Form1_btnAddToPlayList_hint, QPoint(3, 4));
    connect(btnAddToPlayList, &QToolButton::clicked, this, &TForm1::btnAddToPlayListClick);
    btnPrevFile = MakeButton(pnPlayList, "btnPrevFile", ButtonGlyph::PreviousFile,
                             uLang::Form1_btnPrevFile_hint, QPoint(35, 4));
    connect(btnPrevFile, &QToolButton::clicked, this, &TForm1::btnPrevFileClick);
    btnNextFile = MakeButton(pnPlayList, "btnNextFile", ButtonGlyph::NextFile,
                             QStringLiteral("Next File (Play List)"), QPoint(67, 4));
    connect(btnNextFile, &QToolButton::clicked, this, &TForm1::btnNextFileClick);
    Label3 = MakeLabel(pnPlayList, "Label3", QStringLiteral("A.Stop"), QPoint(101, 10));
    Label3->setToolTip(uLang::Form1_Label3_hint);
    CheckBox1 = new QCheckBox(pnPlayList);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(152, 10, 21, 21);
    CheckBox1->setFocusPolicy(Qt::NoFocus);
    CheckBox1->setCursor(Qt::PointingHandCursor);
    CheckBox1->setToolTip(uLang::Form1_CheckBox1_hint);
    CheckBox1->setChecked(true);
    CheckBox1->installEventFilter(this);
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm1::CheckBox1Click);
    btnPlayList = MakeButton(pnPlayList, "btnPlayList", ButtonGlyph::PlayList,
                             uLang::Form1_btnPlayList_hint, QPoint(174, 4));
    connect(btnPlayList, &QToolButton::clicked, this, &TForm1::btnPlayListClick);
    btnOptions = MakeButton(pnPlayList, "btnOptions", ButtonGlyph::Options,
                            uLang::Form1_btnOptions_hint, QPoint(206, 4));
    connect(btnOptions, &QToolButton::clicked, this, &TForm1::btnOptionsClick);
    btnCompact = MakeButton(pnPlayList, "btnCompact", ButtonGlyph::Compact,
                            uLang::Form1_btnCompact_hint, QPoint(238, 4));
    connect(btnCompact, &QToolButton::clicked, this, &TForm1::btnCompactClick);
}

void TForm1::CreateEqPanel() {
    pnEq = MakePanel(this, "pnEq");
    pnEq->setGeometry(439, 148, 201, 41);
    TQrGbar** bars[EqBandCount] = {&eq1, &eq2, &eq3, &eq4, &eq5, &eq6, &eq7, &eq8, &eq9};
    for (int i = 0; i < EqBandCount; ++i) {
        auto* bar = new TQrGbar(pnEq);
        bar->setObjectName(QStringLiteral("eq%1").arg(i + 1));
        bar->setGeometry(3 + i * 13, 1, 12, 39);
        bar->SetBorder(false);
        bar->SetDirection(gbdVertical);
        bar->SetBorderColor(clGray);
        bar->SetSetByMouse(true);
        bar->setCursor(Qt::PointingHandCursor);
        *bars[i] = bar;
    }
    btnResetEq = new QToolButton(pnEq);
    btnResetEq->setObjectName(QStringLiteral("btnResetEq"));
    btnResetEq->setText(QStringLiteral("Res."));
    btnResetEq->setToolTip(uLang::Form1_btnResetEq_hint);
    btnResetEq->setFocusPolicy(Qt::NoFocus);
    btnResetEq->setGeometry(122, 4, 46, 33);
    connect(btnResetEq, &QToolButton::clicked, this, &TForm1::btnResetEqClick);
    cbEq = new QCheckBox(pnEq);
    cbEq->setObjectName(QStringLiteral("cbEq"));
    cbEq->setGeometry(174, 10, 21, 21);
    cbEq->setFocusPolicy(Qt::NoFocus);
    cbEq->setToolTip(uLang::Form1_cbEq_hint);
    connect(cbEq, &QCheckBox::toggled, this, &TForm1::cbEqClick);
}

void TForm1::CreateVolumePanel() {
    lbVolume = new CaptionLabel(this);
    lbVolume->setObjectName(QStringLiteral("lbVolume"));
    lbVolume->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lbVolume->setToolTip(uLang::Form1_lbVolume_hint);
    QFont bold = font();
    bold.setBold(true);
    lbVolume->setFont(bold);
    QPalette lime = lbVolume->palette();
    lime.setColor(QPalette::WindowText, QColor(0, 255, 0));
    lbVolume->setPalette(lime);
    lbVolume->setCaption(QStringLiteral("Vol\r100"));
    // Wide enough for "100" in bold; the right edge keeps its design place.
    const int width = std::max(27, lbVolume->sizeHint().width());
    Anchor(lbVolume, QRect(900 - width, 80, width, 41), false, true, false);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setToolTip(QStringLiteral("Volume"));
    Panel1->installEventFilter(this);
    Anchor(Panel1, QRect(888, 201, 15, 166), false, true, true);
    tbVolume = new TQrGbar(Panel1);
    tbVolume->setObjectName(QStringLiteral("tbVolume"));
    tbVolume->SetBorder(true);
    tbVolume->SetDirection(gbdVertical);
    tbVolume->SetBorderColor(clSilver);
    tbVolume->SetBarColor(clLime);
    tbVolume->SetBgColor(clDarkBackground);
    tbVolume->SetMax(100);
    tbVolume->SetValue(100);
    tbVolume->SetSetByMouse(true);
    tbVolume->setCursor(Qt::PointingHandCursor);
    tbVolume->setToolTip(uLang::Form1_tbVolume_hint);
    connect(tbVolume, &TQrGbar::OnChange, this, &TForm1::tbVolume_Change);
    connect(tbVolume, &TQrGbar::OnMouseUp, this, &TForm1::tbVolumeMouseUp);
}

void TForm1::Anchor(QWidget* w, QRect design, bool left, bool right, bool bottom) {
    FAnchored.push_back({w, design, right, left, bottom});
}

void TForm1::PlaceAnchoredControls() {
    const int dw = width() - DesignWidth;
    const int dh = height() - DesignHeight;
    for (const Anchored& a : FAnchored) {
        QRect r = a.design;
        if (a.right && a.left)
            r.setWidth(std::max(0, r.width() + dw));
        else if (a.right)
            r.moveLeft(r.left() + dw);
        if (a.bottom)
            r.setHeight(std::max(0, r.height() + dh));
        a.widget->setGeometry(r);
    }
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
