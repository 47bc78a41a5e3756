// TForm1: the marker commands (add, delete nearest, delete the selected row,
// delete all, next, previous, jump, edit).

#include "mainwindow/uMain.h"

#include "audio/bass.h"
#include "platform/AppError.h"
#include "platform/Prompts.h"
#include "playback/PlayPosition.h"
#include "settings/LangTexts.h"
#include "timeline/MarkerListModel.h"
#include "timeline/MarkerModel.h"
#include "timeline/MarkerNavigation.h"
#include "timeline/TimeUtils.h"
#include "timeline/uEditor.h"

#include <QTableView>

#include <cmath>
#include <optional>

namespace {

// Every new marker starts with this description; it is not a language text.
const QString kNewMarkerDescription = QStringLiteral("Edit Description");

// The seconds a row's "Time Code" stands for; nothing when it does not parse.
std::optional<double> RowSeconds(const MarkerListModel& rows, int row) {
    try {
        return TimeStrToSeconds(rows.timeCode(row));
    } catch (const AppError&) {
        return std::nullopt;
    }
}

}  // namespace

void TForm1::SeekToMarkerTime(double seconds) {
    BASS_ChannelSetPosition(FChannel, BASS_ChannelSeconds2Bytes(FChannel, seconds), BASS_POS_BYTE);
    WakeTick();
    ScrollToPixel(RoundHalfEven(PlayPositionSeconds(FChannel) * FZoomFactor));
}

void TForm1::btnAddMarkerClick() {
    if (FChannel == 0)
        return;
    const double position = PlayPositionSeconds(FChannel);
    if (::MarkerExistsAt(FMarkers, position, -1)) {
        prompts().message(uLang::Form1_marker_already_exists);
        return;
    }
    FMarkers.append({position, kNewMarkerDescription});
    RefreshMarkerList();
    SetMarkersChanged(true);
    RecordMarkerChange(uLang::undo_add_marker);
    if (SettingNameMarkersOnAdd())
        NameNewMarker(position);
}

void TForm1::NameNewMarker(double time) {
    for (int i = 0; i < FMarkers.size(); ++i) {
        if (FMarkers[i].Time == time) {
            SelectMarkerInList(i);
            // Modal, but the sound and the tick go on while it is open.
            btnEditMarkerClick();
            return;
        }
    }
}

void TForm1::btnDeleteMarkerClick() {
    if (FChannel == 0 || FMarkers.isEmpty())
        return;
    if (!prompts().confirmOkCancel(uLang::Form1_Delete_Marker_msg))
        return;
    const int nearest = NearestMarkerIndex(FMarkers, PlayPositionSeconds(FChannel));
    if (nearest < 0)
        return;
    FMarkers.removeAt(nearest);
    RefreshMarkerList();
    SetMarkersChanged(true);
    RecordMarkerChange(uLang::undo_delete_marker);
}

void TForm1::btmDeleteLvMarkerClick() {
    if (FMarkers.isEmpty())
        return;
    if (!prompts().confirmOkCancel(uLang::Form1_Delete_Marker_msg))
        return;
    const int row = SelectedMarkerRow();
    if (row >= 0) {
        if (const std::optional<double> t = RowSeconds(*lvMarkersRows, row)) {
            // The row normally stands for the marker at its own index; only
            // when that marker's time no longer matches the row is the marker
            // looked up by time, so that of two markers within 10 ms the one
            // shown in the row is the one deleted.
            int victim = -1;
            if (row < FMarkers.size() && std::abs(FMarkers[row].Time - *t) < kRowTimeTolerance)
                victim = row;
            else
                victim = LastMarkerNearTime(FMarkers, *t);
            if (victim >= 0)
                FMarkers.removeAt(victim);
            lvMarkersRows->removeRowAt(row);
        }
    }
    // The rows left keep their numbers until the next rebuild.
    SetMarkersChanged(true);
    RecordMarkerChange(uLang::undo_delete_marker);
}

void TForm1::miDeleteAllMarkersClick() {
    if (FChannel == 0 || FMarkers.isEmpty())
        return;
    if (!prompts().confirmOkCancel(uLang::Form1_Delete_all_Markers_msg))
        return;
    FMarkers.clear();
    lvMarkersRows->clear();
    SetMarkersChanged(true);
    RecordMarkerChange(uLang::undo_delete_all_markers);
}

void TForm1::StepToMarker(bool forward) {
    if (FChannel == 0 || FMarkers.isEmpty())
        return;
    if (BASS_ChannelIsActive(FChannel) == BASS_ACTIVE_PLAYING)
        btnPlayPauseClick();  // pauses
    const double position = PlayPositionSeconds(FChannel);
    const MarkerStep step = forward ? NextMarkerStep(FMarkers, position, FDuration)
                                    : PreviousMarkerStep(FMarkers, position);
    if (!step.found())
        return;  // stays paused where it was
    SelectMarkerInList(step.index);
    SeekToMarkerTime(step.time);
}

void TForm1::btnNextMarkerClick() { StepToMarker(true); }

void TForm1::btnPreviousMarkerClick() { StepToMarker(false); }

void TForm1::lvMarkersDblClick() {
    const int row = SelectedMarkerRow();
    if (row < 0)
        return;
    const std::optional<double> t = RowSeconds(*lvMarkersRows, row);
    if (!t) {
        prompts().message(uLang::Form1_Time_Format_Error_msg);
        return;
    }
    if (FChannel != 0)
        SeekToMarkerTime(*t);  // a playing stream plays on from the marker
}

void TForm1::btnEditMarkerClick() {
    if (FMarkers.isEmpty())
        return;
    const int row = SelectedMarkerRow();
    if (row < 0) {
        prompts().message(uLang::Form1_Select_Marker_msg);
        return;
    }
    const QString oldText = lvMarkersRows->description(row);
    const QString newText = EditMarkerDescription(oldText);
    if (newText == oldText)
        return;
    lvMarkersRows->setDescription(row, newText);
    if (row < FMarkers.size())
        FMarkers[row].Description = newText;
    SetMarkersChanged(true);
    RecordMarkerChange(uLang::undo_edit_marker);
}
