// TForm1's practice tools: the loop of the section around the play head
// (key R, the menus' loop items) and the playing speed (keys [ ] \, the
// speed label and its wheel).

#include "mainwindow/uMain.h"

#include "playback/PlayPosition.h"
#include "playback/PlaybackSpeed.h"
#include "settings/LangTexts.h"
#include "timeline/uTimeline.h"

#include <QAction>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>

#include <algorithm>

namespace {
// Where the speed label sits: the About button's place, and right of it.
constexpr QPoint SpeedLabelAtAbout{641, 156};
constexpr QPoint SpeedLabelBesideAbout{675, 156};
constexpr QSize SpeedLabelSize{48, 25};
constexpr int SpeedLabelSmallestPixels = 8;
}  // namespace

void TForm1::CreatePracticeControls() {
    auto loopItem = [this](QMenu* menu, const char* name, const char* separator) {
        menu->addSeparator()->setObjectName(QLatin1String(separator));
        QAction* item = menu->addAction(uLang::miLoopSection_caption);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setToolTip(uLang::miLoopSection_hint);
        menu->setToolTipsVisible(true);
        connect(item, &QAction::triggered, this, [this] { ToggleLoop(); });
        connect(menu, &QMenu::aboutToShow, this, [this, item] {
            item->setEnabled(FChannel != 0);
            item->setChecked(LoopActive());
        });
        return item;
    };
    miLoopTL = loopItem(pmTimeline, "miLoopTL", "NLoopTL");
    miLoop = loopItem(pmMarkers, "miLoop", "NLoop");

    lbSpeed = new QLabel(this);
    lbSpeed->setObjectName(QStringLiteral("lbSpeed"));
    lbSpeed->setToolTip(uLang::Form1_lbSpeed_hint);
    lbSpeed->setAlignment(Qt::AlignCenter);
    UseLimeText(lbSpeed, true);
    lbSpeed->resize(SpeedLabelSize);
    SetSpeed(FSpeed);
}

// While the picture shows, the label ends where the picture begins; in a
// narrow gap its font shrinks until the widest speed fits.
void TForm1::PlaceSpeedLabel(bool picture) {
    if (!lbSpeed)
        return;
    QRect place(picture ? SpeedLabelAtAbout : SpeedLabelBesideAbout, SpeedLabelSize);
    if (picture)
        place.setRight(std::min(place.right(), Image1->geometry().left() - 1));
    lbSpeed->setGeometry(place);
    QFont font = lbSpeed->font();
    font.setPixelSize(QFontInfo(this->font()).pixelSize());
    const QString widest = QStringLiteral("%1%").arg(PlaybackSpeed::Max);
    while (font.pixelSize() > SpeedLabelSmallestPixels && QFontMetrics(font).horizontalAdvance(widest) > place.width())
        font.setPixelSize(font.pixelSize() - 1);
    lbSpeed->setFont(font);
}

// ---- loop ------------------------------------------------------------------------------

void TForm1::ToggleLoop() {
    if (FChannel == 0)
        return;
    if (LoopActive()) {
        EndLoop();
        return;
    }
    SetLoopSection(SectionAround(FMarkers, PlayPositionSeconds(FChannel), FDuration));
}

void TForm1::EndLoop() { SetLoopSection(std::nullopt); }

void TForm1::SetLoopSection(const std::optional<LoopSection>& section) {
    if (section == FLoop)
        return;
    FLoop = section;
    if (FChannel != 0) {
        if (!FLoop) {
            BASS_ChannelSetLoop(FChannel, 0, 0);
        } else {
            // The track's end is its last byte, not the seconds rounded.
            const QWORD length = BASS_ChannelGetLength(FChannel, BASS_POS_BYTE);
            const QWORD start = BASS_ChannelSeconds2Bytes(FChannel, FLoop->start);
            const QWORD end = FLoop->endIsMarker ? std::min(length, BASS_ChannelSeconds2Bytes(FChannel, FLoop->end))
                                                 : length;
            if (!BASS_ChannelSetLoop(FChannel, start, end))
                FLoop.reset();  // nothing left between the bounds
        }
    }
    if (PaintBox1)
        PaintBox1->update();
}

void TForm1::FollowLoopMarkerMove(double from, double to) {
    if (FLoop)
        SetLoopSection(LoopAfterMarkerMove(*FLoop, from, to));
}

void TForm1::CheckLoopMarkers() {
    if (FLoop && !LoopMarkersExist(*FLoop, FMarkers))
        EndLoop();
}

void TForm1::FollowLoopToPosition(double position) {
    if (FLoop && !FLoop->contains(position))
        SetLoopSection(SectionAround(FMarkers, position, FDuration));
}

// ---- speed -----------------------------------------------------------------------------

void TForm1::SetSpeed(int percent) {
    FSpeed = PlaybackSpeed::Valid(percent);
    if (lbSpeed)
        lbSpeed->setText(QStringLiteral("%1%").arg(FSpeed));
    ApplySpeedToChannel();
}

void TForm1::StepSpeed(int steps) { SetSpeed(PlaybackSpeed::Stepped(FSpeed, steps)); }

void TForm1::ApplySpeedToChannel() {
    if (FChannel != 0)
        BASS_ChannelSetAttribute(FChannel, BASS_ATTRIB_TEMPO, float(FSpeed - PlaybackSpeed::Normal));
}
