// TForm1's controls: creating them at their design places, the window's
// look, and keeping the anchored controls in place when the window resizes.

#include "mainwindow/uMain.h"

#include "controls/ButtonImages.h"
#include "controls/CaptionLabel.h"
#include "controls/DarkLook.h"
#include "controls/TimeLabel.h"
#include "controls/uQrGbar.h"
#include "platform/ProgramPictures.h"
#include "settings/LangTexts.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/uTimeline.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace {

// Panels and buttons of the design.
constexpr int ButtonWidth = 30;
constexpr int ButtonHeight = 33;

QLabel* PlaceLabel(QLabel* label, const char* name, QPoint at) {
    label->setObjectName(QLatin1String(name));
    label->move(at);
    label->adjustSize();
    return label;
}

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Plain);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    return panel;
}

}  // namespace

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

void TForm1::UseLimeText(QLabel* label, bool bold) {
    if (bold) {
        QFont boldFont = font();
        boldFont.setBold(true);
        label->setFont(boldFont);
    }
    QPalette lime = label->palette();
    lime.setColor(QPalette::WindowText, QColor(0, 255, 0));
    label->setPalette(lime);
}

QLabel* TForm1::MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at) {
    return PlaceLabel(new QLabel(text, parent), name, at);
}

void TForm1::CreateControls() {
    CreatePlayPanel();
    CreateMarkerPanels();
    PlaceTimelineControls();
    ConnectTimelineMarkerItems();
    CreatePlayListPanel();

    lbPosition = PlaceLabel(new TimeLabel(QStringLiteral("00:00:00.000"), this), "lbPosition", QPoint(11, 123));
    lbPosition->setMinimumWidth(104);
    // A time, set 40 times a second while playing: plain text drawn from
    // glyphs shaped once, and a size of its own, so a new text asks the
    // window for no new layout.
    lbPosition->setTextFormat(Qt::PlainText);
    lbPosition->setFixedSize(lbPosition->size());
    lbDuration = MakeLabel(this, "lbDuration", QStringLiteral("Duration: 00:00:00"), QPoint(117, 123));
    lbDuration->setMinimumWidth(180);
    lbName = MakeLabel(this, "lbName", QStringLiteral("Name"), QPoint(303, 122));
    lbName->setToolTip(QString());
    lbName->setCursor(Qt::PointingHandCursor);
    lbName->setTextFormat(Qt::PlainText);
    UseLimeText(lbName, false);
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
    Image1->setPixmap(ProgramPicture(QStringLiteral("Image1")));
    Image1->installEventFilter(this);
    Anchor(Image1, QRect(738, 75, 179, 115), false, true, false);
    Image1->lower();

    CreateVolumePanel();
    CreatePracticeControls();
    PlaceAnchoredControls();
    PlaceSpeedLabel(width() >= PictureMinWidth);
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
    UseLimeText(lbVolume, true);
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
