// TForm1's playback engine: load, play/pause, stop, the 25 ms position poll
// and the end of a track.

#include "mainwindow/uMain.h"

#include "controls/ButtonImages.h"
#include "controls/uQrGbar.h"
#include "playback/PlayPosition.h"
#include "playlist/uList.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/TimeUtils.h"
#include "timeline/uTimeline.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Flags of every stream the player opens: UTF-16 file name, exact length and
// seek table by a prescan, float samples.
constexpr DWORD StreamFlags = BASS_UNICODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT;
// Passes over the pending events after the end of a track, before deciding
// what comes next.
constexpr int TrackEndEventPasses = 1001;

}  // namespace

// ---- library start and end ----------------------------------------------------------

void TForm1::StartAudioLibrary() {
    // A start still queued when the window closed finds the library ended.
    if (FAudioStarted || FAudioEnded)
        return;
    FAudioStarted = true;
    BASS_Init(-1, 44100, 0, this, nullptr);
    BASS_SetConfig(BASS_CONFIG_UNICODE, 1);
}

void TForm1::EndAudioLibrary() {
    // A file still opening is left to its thread, which frees it.
    FOpener.cancel();
    DropWaveform();
    FreeChannel();
    FAudioEnded = true;
    if (std::exchange(FAudioStarted, false))
        BASS_Free();
}

// ---- loading ---------------------------------------------------------------------------

void TForm1::ResetForNewFile() {
    EndMarkerDrag();  // a drag of the old file's markers ends with them
    EndLoop();
    FMarkers.clear();
    RefreshMarkerList();  // the marker list view is emptied with the markers
    if (FChannel != 0)
        BASS_ChannelStop(FChannel);
    SetZoom(ZoomFactorOf(0.0), 0.0);
    if (cbAutoScroll)
        cbAutoScroll->setChecked(true);
    if (ScrollBox1)
        ScrollBox1->horizontalScrollBar()->setValue(0);
    SetPlayPauseImage(0);
    SetMarkersChanged(false);
    FMarkersFileLoaded = false;
    FMarkerHistory.reset(FMarkers, true);
    UpdateUndoItems();
    DropWaveform();
}

void TForm1::FreeChannel() {
    if (FChannel == 0)
        return;
    BASS_StreamFree(FChannel);
    RemoveEqualizer();
    FChannel = 0;
}

// A file opens on a thread of its own; the rest of the load runs when its
// stream is ready. Most files are ready at once and the load ends before
// this returns; a slow one says so in the name label after a moment, and
// the window goes on meanwhile.
void TForm1::LoadAudioFile(const QString& FileName, LoadDone then) {
    StartAudioLibrary();
    ResetForNewFile();
    FreeChannel();
    FPlayWhenOpened = false;
    if (!FOpeningShown)
        FNameBeforeOpening = lbName->text();
    FOpeningName = FileName;
    FOpeningLabelDelay->start();
    FOpener.open(FileName, StreamFlags, LoadWaitMs(),
                 [this, then = std::move(then)](const StreamOpener::Result& opened) { FinishLoad(opened, then); });
}

bool TForm1::LoadPending() const { return FOpener.pending(); }

int TForm1::LoadWaitMs() {
    // Tests that want every load to end before it returns raise the wait.
    bool set = false;
    const int wait = qEnvironmentVariableIntValue("VELMO_LOAD_WAIT_MS", &set);
    return set ? wait : DefaultLoadWaitMs;
}

void TForm1::ShowOpening() {
    if (!LoadPending())
        return;
    FOpeningShown = true;
    lbName->setText(QStringLiteral("Opening ") + QFileInfo(FOpeningName).fileName() + QStringLiteral("..."));
    lbName->setToolTip(FOpeningName);
}

void TForm1::FinishLoad(const StreamOpener::Result& opened, const LoadDone& then) {
    FOpeningLabelDelay->stop();
    const bool playAfter = std::exchange(FPlayWhenOpened, false);
    if (std::exchange(FOpeningShown, false)) {
        lbName->setText(FNameBeforeOpening);
        lbName->setToolTip(FAudioFileName);
    }
    const bool loaded = ApplyOpenedStream(opened);
    WakeTick();
    if (playAfter)
        btnPlayPauseClick();
    if (then)
        then(loaded);
}

bool TForm1::ApplyOpenedStream(const StreamOpener::Result& opened) {
    const QString& FileName = opened.path;
    FChannel = opened.stream;
    cbEqClick();
    FDuration = BASS_ChannelBytes2Seconds(FChannel, BASS_ChannelGetLength(FChannel, BASS_POS_BYTE));
    if (!(FDuration > 0)) {
        if (FChannel != 0)
            BASS_StreamFree(FChannel);
        FEQHandles.fill(0);
        FChannel = 0;
        // The strip goes black: the old file's picture and markers are gone,
        // and with nothing loaded no tick repaints it.
        if (PaintBox1)
            PaintBox1->update();
        return false;
    }
    auto ticket = std::make_unique<EndSyncTicket>(EndSyncTicket{this, ++FLoadSerial});
    BASS_ChannelSetSync(FChannel, BASS_SYNC_END, 0, &TForm1::EndSyncProc, ticket.get());
    FEndSyncTickets.push_back(std::move(ticket));
    FAudioFileName = FileName;
    // The desktop's recent files list, written in the background; a list that
    // cannot be written never stops a load.
    FRecentFiles.add(FileName);

    const int viewWidth = ScrollBox1 ? ScrollBox1->viewport()->width() : width();
    const double fitted = FitZoomFactor(viewWidth, FDuration);
    SetZoom(fitted, std::log10(fitted));

    UpdateTimelineWidth();
    lbName->setText(QFileInfo(FileName).fileName());
    lbName->setToolTip(FileName);
    lbDuration->setText(QStringLiteral("Duration: ") + SecondsToTimeStr(FDuration, true));
    lbDuration->adjustSize();
    SetVolume(tbVolume->Value());
    ApplySpeedToChannel();
    StartWaveform();
    // Last, so that a malformed marker file, whose error ends the load here,
    // leaves the new file's timeline, labels and volume in place.
    LoadMarkersForFile(FAudioFileName);
    return true;
}

// ---- transport ------------------------------------------------------------------------------

void TForm1::SetPlayPauseImage(int index) {
    FPlayPauseImage = index;
    btnPlayPause->setIcon(ButtonImage(index == 0 ? ButtonGlyph::Play : ButtonGlyph::Pause));
}

void TForm1::btnPlayPauseClick() {
    // While a file opens the button says whether it plays once ready.
    if (FChannel == 0 && LoadPending()) {
        FPlayWhenOpened = !FPlayWhenOpened;
        return;
    }
    if (FChannel == 0) {
        btnOpenFileClick();
        if (FChannel == 0) {
            FPlayWhenOpened = LoadPending();
            return;
        }
    }
    switch (BASS_ChannelIsActive(FChannel)) {
    case BASS_ACTIVE_PLAYING:
        BASS_ChannelPause(FChannel);
        SetPlayPauseImage(0);
        break;
    case BASS_ACTIVE_STOPPED:
    case BASS_ACTIVE_STALLED:
    case BASS_ACTIVE_PAUSED:
        BASS_ChannelPlay(FChannel, FALSE);
        SetPlayPauseImage(1);
        break;
    default:
        SetPlayPauseImage(1);
        break;
    }
    WakeTick();
    // playlist: the playlist window hears of the change.
    FPlayList.UpdatePlayPause();
}

void TForm1::Play_Pause() { btnPlayPauseClick(); }

void TForm1::btnStopClick() {
    FPlayWhenOpened = false;
    if (FChannel == 0)
        return;
    EndLoop();
    BASS_ChannelStop(FChannel);
    BASS_ChannelSetPosition(FChannel, 0, BASS_POS_BYTE);
    SetPlayPauseImage(0);
    WakeTick();
    // playlist: the playlist window hears of the change.
    FPlayList.UpdatePlayPause();
}

void TForm1::Stop() { btnStop->click(); }

bool TForm1::GetisPlaying() const {
    return FChannel != 0 && BASS_ChannelIsActive(FChannel) == BASS_ACTIVE_PLAYING;
}

void TForm1::SetAutoStop(BOOL Value) {
    // A box set to the state it has runs no handler, so the two auto-stop
    // boxes (here and in the playlist window) cannot call each other for ever.
    CheckBox1->setChecked(Value != 0);
    FAutoStop = Value;
    // playlist: the playlist window's box shows the same state.
    FPlayList.ShowAutoStop(Value != 0);
}

void TForm1::CheckBox1Click() {
    SetAutoStop(CheckBox1->isChecked() ? -1 : 0);
}

// ---- the 25 ms tick ----------------------------------------------------------------------------

void TForm1::Timer1Timer() {
    // Nothing moves between ticks while nothing plays: the tick sleeps
    // until something wakes it (WakeTick).
    if (ShowPlayState())
        FQuietTicks = 0;
    else if (++FQuietTicks >= QuietTicksBeforeSleep)
        Timer1->stop();
}

void TForm1::WakeTick() {
    FQuietTicks = 0;
    if (Timer1 && !Timer1->isActive())
        Timer1->start();
    emit TickWoken();
}

bool TForm1::ShowPlayState() {
    if (FChannel == 0)
        return false;
    const DWORD active = BASS_ChannelIsActive(FChannel);
    // Taken before collecting, so a worker that ends in between is collected
    // once more on the next tick.
    const bool waveformDone = FWaveformBuilder.path().isEmpty() || FWaveformBuilder.finished();
    const double pos = PlayPositionSeconds(FChannel);
    const bool moved = pos != FLastTickPosition;
    FLastTickPosition = pos;
    FollowLoopToPosition(pos);
    const qint64 x = RoundHalfEven(pos * FZoomFactor);
    if (cbAutoScroll && cbAutoScroll->isChecked())
        ScrollToPixel(x);
    lbPosition->setText(SecondsToTimeStr(pos, true));
    if (PaintBox1)
        RepaintTimelineForTick(x);
    CollectWaveform();
    if (!isPlaying()) {
        gbIUv->SetValue(0);
        // playlist: the playlist window's meter as well.
        FPlayList.ShowLevel(0);
    }
    const bool changing = moved || !waveformDone || (active != BASS_ACTIVE_STOPPED && active != BASS_ACTIVE_PAUSED);
    const DWORD level = BASS_ChannelGetLevel(FChannel);
    if (level == 0xFFFFFFFF) {
        gbIUv->SetValue(0);
        return changing;
    }
    const DWORD peak = std::max(level & 0xFFFF, level >> 16);
    const float fraction = static_cast<float>(static_cast<double>(peak) / 32768.0);
    gbIUv->SetValue(static_cast<int>(std::trunc(static_cast<double>(fraction) * gbIUv->Max())));
    // playlist: the playlist window's meter takes the same value.
    FPlayList.ShowLevel(gbIUv->Value());
    return changing;
}

// The timeline shows the tick's state: the whole view after a marker change,
// else the play head's old and new columns when it moved.
void TForm1::RepaintTimelineForTick(qint64 head) {
    const TimelineTickRepaint::Plan plan = FTimelineTick.next(head, FMarkers);
    if (plan.full) {
        PaintBox1->update();
        return;
    }
    if (!plan.headMoved)
        return;
    const int half = TimelineTickRepaint::ColumnHalfWidth;
    for (const qint64 column : {plan.oldHead, plan.newHead}) {
        const qint64 left = column - PaintBox1->origin() - half;
        // Columns far outside the view need nothing.
        if (left + 2 * half < 0 || left > PaintBox1->width())
            continue;
        PaintBox1->update(QRect(int(left), 0, 2 * half + 1, PaintBox1->height()));
    }
}

// ---- end of track ----------------------------------------------------------------------------

// Library thread: only hands the event to the GUI thread.
void TForm1::EndSyncProc(HSYNC, DWORD channel, DWORD, void* user) {
    if (!user)
        return;
    const auto* ticket = static_cast<const EndSyncTicket*>(user);
    TForm1* form = ticket->form;
    const quint64 serial = ticket->serial;
    QMetaObject::invokeMethod(
        form, [form, channel, serial] { form->HandleTrackEnd(channel, serial); }, Qt::QueuedConnection);
}

void TForm1::HandleTrackEnd(DWORD channel, quint64 serial) {
    // The end of a stream that has since been replaced or freed.
    if (channel != FChannel || serial != FLoadSerial || FChannel == 0)
        return;
    btnStopClick();
    for (int i = 0; i < TrackEndEventPasses; ++i)
        QCoreApplication::processEvents();
    if (CheckBox1->isChecked())
        return;
    // playlist: with auto-stop off the playlist plays on; an empty playlist
    // ends here as well.
    if (PlayList().Empty())
        return;
    if (MarkersChanged() && SettingAutoSave())
        btnSaveMarkersClick();
    PlayList().PlayNext();
}
