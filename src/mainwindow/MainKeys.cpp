// TForm1's keyboard shortcuts and mouse wheel.

#include "mainwindow/uMain.h"

#include "controls/CaptionLabel.h"
#include "controls/uQrGbar.h"
#include "playback/PlayPosition.h"
#include "playback/PlaybackSpeed.h"
#include "playlist/uList.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/TimeUtils.h"
#include "timeline/uTimeline.h"

#include <QCheckBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {
constexpr int VolumeWheelStep = 2;
}  // namespace

int TForm1::VirtualKeyOf(const QKeyEvent& event) {
    // Only plus and minus tell the keypad from the main keyboard: the keypad's
    // arrows and Delete (Num Lock off) seek and delete like the others.
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    switch (event.key()) {
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_L: return VK_L;
    case Qt::Key_M: return VK_M;
    case Qt::Key_R: return VK_R;
    case Qt::Key_BracketLeft: return VK_OEM_4;
    case Qt::Key_BracketRight: return VK_OEM_6;
    case Qt::Key_Backslash: return VK_OEM_5;
    // The key marked = and + on the main keyboard, with or without Shift.
    case Qt::Key_Equal:
    case Qt::Key_Plus: return keypad ? VK_OTHER : VK_OEM_PLUS;
    // The key marked - (and _) on the main keyboard.
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return keypad ? VK_OTHER : VK_OEM_MINUS;
    default: return VK_OTHER;
    }
}

void TForm1::FormKeyDown(int& Key) {
    if (Key == VK_L) {
        btnPlayListClick();
        Key = 0;
        return;
    }
    // The speed is kept for the next file, so it changes without one too.
    if (Key == VK_OEM_4 || Key == VK_OEM_6 || Key == VK_OEM_5) {
        Key == VK_OEM_5 ? SetSpeed(PlaybackSpeed::Normal) : StepSpeed(Key == VK_OEM_6 ? 1 : -1);
        Key = 0;
        return;
    }
    // Nothing reaches the controls until a file is loaded.
    if (FChannel == 0) {
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_SPACE:
        btnPlayPause->click();
        break;
    case VK_LEFT:
        SeekBy(-SettingSeekTime());
        break;
    case VK_RIGHT:
        SeekBy(SettingSeekTime());
        break;
    // Adding or deleting renumbers the markers under a drag that the mouse
    // still holds; the drag ends first, so its drop cannot move another one.
    case VK_DELETE:
        EndMarkerDrag();
        btnDeleteMarkerClick();
        break;
    case VK_M:
        EndMarkerDrag();
        btnAddMarkerClick();
        break;
    case VK_R:
        ToggleLoop();
        break;
    case VK_OEM_PLUS:
        btnZoomInClick();
        break;
    case VK_OEM_MINUS:
        btnZoomOutClick();
        break;
    default:
        return;
    }
    Key = 0;
}

// Seeks from the play position, within the track; playing goes on playing.
void TForm1::SeekBy(double seconds) {
    const double pos = PlayPositionSeconds(FChannel);
    const double target = seconds < 0 ? std::max(0.0, pos + seconds) : std::min(FDuration, pos + seconds);
    BASS_ChannelSetPosition(FChannel, BASS_ChannelSeconds2Bytes(FChannel, target), BASS_POS_BYTE);
    WakeTick();
    ScrollToPixel(RoundHalfEven(target * FZoomFactor));
}

bool TForm1::PointerOver(QWidget* control, QPoint screenPos) const {
    if (!control || !control->isVisible())
        return false;
    const QPoint p = control->mapFromGlobal(screenPos);
    return p.x() >= 0 && p.x() <= control->width() && p.y() >= 0 && p.y() <= control->height();
}

bool TForm1::FormMouseWheel(int WheelDelta, QPoint MousePos) {
    const bool up = WheelDelta > 0;
    for (TQrGbar* bar : tbEQ) {
        if (PointerOver(bar, MousePos)) {
            bar->SetValue(bar->Value() + (up ? 1 : -1));
            return true;
        }
    }
    if (PointerOver(lbSpeed, MousePos)) {
        StepSpeed(up ? 1 : -1);
        return true;
    }
    if (PointerOver(tbVolume, MousePos) || PointerOver(lbVolume, MousePos)) {
        tbVolume->SetValue(tbVolume->Value() + (up ? VolumeWheelStep : -VolumeWheelStep));
        // playlist: the playlist window's volume bar takes the value.
        FPlayList.ShowVolume(tbVolume->Value());
        return true;
    }
    if (FChannel != 0 && PointerOver(PaintBox1, MousePos)) {
        // A step at a limit leaves the exponent as it is; the factor and its
        // label are set again all the same, and the turn counts as the
        // user's scroll.
        double exponent = FZoomExponent;
        up ? StepZoomIn(exponent) : StepZoomOut(exponent);
        SetZoom(ZoomFactorOf(exponent), exponent);
        // The turn also reaches the scroll box, which switches auto-scroll off.
        TimelineUserScrolled();
        // The picture takes its new width first: scrolled within the old one,
        // a zoom in near the end of the track would leave the play head out
        // of view, with auto-scroll now off to bring it back.
        UpdateTimelineWidth();
        const double pos = PlayPositionSeconds(FChannel);
        ScrollToPixel(RoundHalfEven(pos * FZoomFactor));
        return true;
    }
    return false;
}

