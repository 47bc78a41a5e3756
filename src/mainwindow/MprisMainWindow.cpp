#include "mainwindow/MprisMainWindow.h"

#include "audio/bass.h"
#include "controls/uQrGbar.h"
#include "mainwindow/uMain.h"
#include "playback/PlayPosition.h"
#include "playlist/uList.h"

#include <algorithm>
#include <cmath>

MprisPlayerFacade::Status MprisMainWindow::status() const {
    if (form_.Channel() == 0)
        return Status::Stopped;
    switch (BASS_ChannelIsActive(form_.Channel())) {
    case BASS_ACTIVE_PLAYING:
    case BASS_ACTIVE_STALLED:  // waiting for data, still meant to play
        return Status::Playing;
    case BASS_ACTIVE_PAUSED:
        return Status::Paused;
    default:
        return Status::Stopped;
    }
}

QString MprisMainWindow::trackPath() const {
    // After a failed load the window still names the previous file, but
    // nothing is loaded.
    return form_.Channel() == 0 ? QString() : form_.AudioFileName();
}

double MprisMainWindow::trackLengthSeconds() const {
    return form_.Channel() == 0 ? 0.0 : form_.Duration();
}

double MprisMainWindow::positionSeconds() const {
    const DWORD channel = form_.Channel();
    if (channel == 0)
        return 0.0;
    return std::max(0.0, PlayPositionSeconds(channel));
}

int MprisMainWindow::volume() const { return form_.GetVolume(); }

bool MprisMainWindow::canGoNext() const {
    // The playlist's rule: the next row after the current one, row 0 when
    // none is current; no wrap at the end.
    const TfrmList* list = frmList();
    return list && !list->Empty() && list->CurrentFileIdx() < list->Rows().count() - 1;
}

bool MprisMainWindow::canGoPrevious() const {
    const TfrmList* list = frmList();
    return list && !list->Empty() && list->CurrentFileIdx() > 0;
}

void MprisMainWindow::playPause() { form_.Play_Pause(); }

void MprisMainWindow::stop() { form_.Stop(); }

void MprisMainWindow::next() { form_.btnNextFileClick(); }

void MprisMainWindow::previous() { form_.btnPrevFileClick(); }

void MprisMainWindow::setPositionSeconds(double seconds) {
    const DWORD channel = form_.Channel();
    if (channel == 0)
        return;
    const double target = std::clamp(seconds, 0.0, form_.Duration());
    // The position timer shows the new place and scrolls the timeline to it.
    BASS_ChannelSetPosition(channel, BASS_ChannelSeconds2Bytes(channel, target), BASS_POS_BYTE);
    form_.WakeTick();
}

void MprisMainWindow::setVolume(int volume) {
    // Through the bar, so the label, the stream and the playlist's mirror follow.
    form_.tbVolume->SetValue(std::clamp(volume, 0, 100));
}

void MprisMainWindow::openFile(const QString& path) { form_.WMCopyData(path); }

void MprisMainWindow::raise() {
    if (form_.isMinimized())
        form_.showNormal();
    else
        form_.show();
    form_.raise();
    form_.activateWindow();
}

void MprisMainWindow::quit() { form_.close(); }

double MprisMainWindow::rate() const { return form_.Speed() / 100.0; }

void MprisMainWindow::setRate(double rate) { form_.SetSpeed(int(std::lround(rate * 100))); }
