// TForm1's timeline view: its controls, zoom steps, width, scrolling and
// painting.

#include "mainwindow/uMain.h"

#include "audio/bass.h"
#include "controls/CaptionLabel.h"
#include "platform/UserFolders.h"
#include "playback/PlayPosition.h"
#include "settings/LangTexts.h"
#include "timeline/MarkerModel.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/TimelineRenderer.h"
#include "timeline/uTimeline.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

QToolButton* makeZoomButton(QWidget* parent, const char* name, const QString& text, const QString& hint, int x) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, 2, 30, 33);
    return button;
}

}  // namespace

void TForm1::CreateTimelineControls(QWidget* markerStatusPanel) {
    if (ScrollBox1)
        return;
    ScrollBox1 = new TimelineScrollBox(this);
    ScrollBox1->setGeometry(0, 0, width(), TimelineScrollBox::DesignHeight);
    PaintBox1 = ScrollBox1->paintBox();
    PaintBox1->onPaint = [this](QPainter& canvas, const QRect& exposed) { PaintBox1Paint(canvas, exposed); };
    // The marker under the pointer tells its time and description; the list
    // is left as it is.
    PaintBox1->toolTipAt = [this](qint64 x) {
        int index = -1;
        if (!TimelineLoaded() || !FindClosestMarkerAtPixel(static_cast<int>(x), index))
            return QString();
        return MarkerHintText(FMarkers[index]);
    };
    connect(PaintBox1, &TimelinePaintBox::mousePressed, this,
            [this](Qt::MouseButton button, Qt::MouseButtons shift, Qt::KeyboardModifiers, int x, int y) {
                PaintBox1MouseDown(button, shift, x, y);
            });
    connect(PaintBox1, &TimelinePaintBox::mouseMoved, this,
            [this](Qt::MouseButtons shift, Qt::KeyboardModifiers, int x, int y) { PaintBox1MouseMove(shift, x, y); });
    connect(PaintBox1, &TimelinePaintBox::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::MouseButtons shift, Qt::KeyboardModifiers, int x, int y) {
                PaintBox1MouseUp(button, shift, x, y);
            });
    connect(ScrollBox1, &TimelineScrollBox::userScrolled, this, &TForm1::TimelineUserScrolled);
    // The view scrolling under a held marker (auto-scroll) moves the pointer
    // over the picture: the marker follows it as it would a mouse move.
    connect(ScrollBox1->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TForm1::FollowPointerWithHeldMarker);

    CreateTimelineMenu();
    CreateZoomPanel(markerStatusPanel);

    SetZoom(ZoomFactorOf(TimelineZoom::kStartExponent), TimelineZoom::kStartExponent);
    FDragging = false;
    FDraggingMarkerIndex = -1;
    SetMarkersChanged(false);
    FMarkersFileLoaded = false;
}

void TForm1::CreateZoomPanel(QWidget* markerStatusPanel) {
    pnZoon = new QFrame(this);
    pnZoon->setObjectName(QStringLiteral("pnZoon"));
    pnZoon->setFrameShape(QFrame::Box);
    pnZoon->setGeometry(266, 81, 133, 41);
    pnZoon->setToolTip(QStringLiteral("Auto Scroll Timeline"));
    btnZoomOut = makeZoomButton(pnZoon, "btnZoomOut", QStringLiteral("\u2212"), uLang::Form1_btnZoomOut_hint, 2);
    btnZoomIn = makeZoomButton(pnZoon, "btnZoomIn", QStringLiteral("+"), uLang::Form1_btnZoomIn_hint, 36);
    connect(btnZoomOut, &QToolButton::clicked, this, &TForm1::btnZoomOutClick);
    connect(btnZoomIn, &QToolButton::clicked, this, &TForm1::btnZoomInClick);
    Label1 = new QLabel(QStringLiteral("AS:"), pnZoon);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setToolTip(uLang::Form1_Label1_hint);
    Label1->move(77, 6);
    cbAutoScroll = new QCheckBox(pnZoon);
    cbAutoScroll->setObjectName(QStringLiteral("cbAutoScroll"));
    cbAutoScroll->setGeometry(106, 8, 21, 21);
    cbAutoScroll->setCursor(Qt::PointingHandCursor);
    cbAutoScroll->setFocusPolicy(Qt::NoFocus);
    cbAutoScroll->setToolTip(uLang::Form1_cbAutoScroll_hint);
    cbAutoScroll->setChecked(false);

    LbZoomFactor = new QLabel(QStringLiteral("Zoom:"), this);
    LbZoomFactor->setObjectName(QStringLiteral("LbZoomFactor"));
    LbZoomFactor->move(789, 37);
    LbZoomFactor->hide();

    QWidget* panel = markerStatusPanel ? markerStatusPanel : this;
    btnSaveMarkers = new QToolButton(panel);
    btnSaveMarkers->setObjectName(QStringLiteral("btnSaveMarkers"));
    btnSaveMarkers->setText(QStringLiteral("Save markers"));
    btnSaveMarkers->setAutoRaise(true);
    btnSaveMarkers->setFocusPolicy(Qt::NoFocus);
    btnSaveMarkers->setToolTip(uLang::Form1_btnSaveMarkers_hint);
    btnSaveMarkers->setGeometry(174, 4, 144, 31);
    btnSaveMarkers->setEnabled(false);
    connect(btnSaveMarkers, &QToolButton::clicked, this, &TForm1::btnSaveMarkersClick);
    lbMarkers = new CaptionLabel(panel);
    lbMarkers->setObjectName(QStringLiteral("lbMarkers"));
    lbMarkers->setToolTip(uLang::Form1_lbMarkers_hint);
    QFont status = lbMarkers->font();
    status.setPixelSize(13);
    status.setBold(true);
    // Narrowed, so "NOT SAVED" fits beside the help button in the desktop's
    // sans-serif font, which runs wider than the design's.
    status.setStretch(QFont::SemiCondensed);
    lbMarkers->setFont(status);
    // Ends where the help button begins.
    lbMarkers->setGeometry(324, 3, 79, 34);
}

// ---- zoom, width, scrolling -------------------------------------------------------------

bool TForm1::TimelineLoaded() const { return FChannel != 0; }

double TForm1::TimelinePlayPosition() const {
    const double seconds = PlayPositionSeconds(FChannel);
    return seconds > 0 ? seconds : 0.0;
}

void TForm1::TimelineSeek(double Seconds) {
    BASS_ChannelSetPosition(FChannel, BASS_ChannelSeconds2Bytes(FChannel, Seconds), BASS_POS_BYTE);
    WakeTick();
}

void TForm1::btnZoomInClick() {
    if (TimelineLoaded() && StepZoomIn(FZoomExponent))
        ApplyZoomStep();
}

void TForm1::btnZoomOutClick() {
    if (TimelineLoaded() && StepZoomOut(FZoomExponent))
        ApplyZoomStep();
}

void TForm1::SetZoom(double factor, double exponent) {
    FZoomFactor = factor;
    FZoomExponent = exponent;
    MarkerClickToleranceSec = MarkerClickToleranceFor(factor);
    if (LbZoomFactor)
        LbZoomFactor->setText(ZoomLabelText(factor));
}

void TForm1::ApplyZoomStep() {
    SetZoom(ZoomFactorOf(FZoomExponent), FZoomExponent);
    UpdateTimelineWidth();
    ScrollToPixel(PixelOfTime(TimelinePlayPosition(), FZoomFactor));
}

void TForm1::UpdateTimelineWidth() {
    PaintBox1->setPictureWidth(TimelineWidthFor(FDuration, FZoomFactor));
    PaintBox1->update();
}

void TForm1::ScrollToPixel(qint64 X) {
    if (const auto target = ScrollTargetFor(X, ScrollBox1->horzPosition(), ScrollBox1->clientWidth()))
        ScrollBox1->setHorzPosition(*target);
}

void TForm1::TimelineUserScrolled() {
    if (cbAutoScroll && cbAutoScroll->isChecked())
        cbAutoScroll->setChecked(false);
}

// ---- painting ----------------------------------------------------------------------------

void TForm1::RepaintTimeline() {
    StartWaveform();
    if (PaintBox1)
        PaintBox1->update();
}

// ---- waveform ----------------------------------------------------------------------------

void TForm1::StartWaveform() {
    if (FChannel == 0 || !SettingShowWaveform() || FWaveformBuilder.path() == FAudioFileName)
        return;
    FWaveform.reset(0);
    FWaveformBuilder.start(FAudioFileName, GetCacheFolder());
    WakeTick();  // the tick collects the waveform as it grows
}

void TForm1::DropWaveform() {
    FWaveformBuilder.cancel();
    FWaveform.reset(0);
}

void TForm1::CollectWaveform() {
    const qint64 before = FWaveform.framesCovered();
    if (!FWaveformBuilder.collect(FWaveform) || !PaintBox1 || !SettingShowWaveform() || FWaveform.sampleRate() <= 0)
        return;
    // Only the columns the new frames cover, when they are in view.
    const double pixelsPerFrame = std::min(FZoomFactor, TimelineZoom::kMaxFactor) / FWaveform.sampleRate();
    const qint64 from = static_cast<qint64>(std::floor(before * pixelsPerFrame)) - 1 - PaintBox1->origin();
    const qint64 to = static_cast<qint64>(std::ceil(FWaveform.framesCovered() * pixelsPerFrame)) + 1 - PaintBox1->origin();
    if (to < 0 || from > PaintBox1->width())
        return;
    const int left = static_cast<int>(std::max<qint64>(from, 0));
    const int right = static_cast<int>(std::min<qint64>(to, PaintBox1->width()));
    PaintBox1->update(QRect(left, 0, right - left, PaintBox1->height()));
}

void TForm1::PaintBox1Paint(QPainter& canvas, const QRect& exposed) {
    if (!TimelineLoaded())
        return;
    if (FZoomFactor > TimelineZoom::kMaxFactor)
        FZoomFactor = TimelineZoom::kMaxFactor;
    TimelineScene scene;
    scene.loaded = true;
    scene.zoomFactor = FZoomFactor;
    scene.duration = FDuration;
    scene.playPosition = TimelinePlayPosition();
    scene.markers = &FMarkers;
    scene.pictureWidth = PaintBox1->pictureWidth();
    scene.height = PaintBox1->height();
    scene.font = PaintBox1->font();
    scene.markerNames = SettingShowMarkerNames();
    scene.waveform = SettingShowWaveform() ? &FWaveform : nullptr;
    if (FLoop) {
        scene.loop = true;
        scene.loopStart = FLoop->start;
        scene.loopEnd = FLoop->end;
    }
    RenderTimeline(canvas, scene, PaintBox1->origin(), exposed);
}
