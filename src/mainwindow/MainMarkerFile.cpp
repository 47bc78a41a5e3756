// TForm1's marker model state and marker file: the changed state and its
// display, reading, writing, the save question and the last-position marker.

#include "mainwindow/uMain.h"

#include "controls/CaptionLabel.h"
#include "audio/bass.h"
#include "platform/Prompts.h"
#include "settings/LangTexts.h"
#include "timeline/MarkerFile.h"
#include "timeline/MarkerModel.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

void TForm1::SetMarkersChanged(bool Value) {
    FMarkersChanged = Value ? -1 : 0;
    const MarkersChangedLook look = MarkersChangedLookFor(Value);
    if (lbMarkers) {
        QPalette palette = lbMarkers->palette();
        palette.setColor(QPalette::WindowText, look.colour);
        lbMarkers->setPalette(palette);
        lbMarkers->setCaption(look.caption);
    }
    if (btnSaveMarkers)
        btnSaveMarkers->setEnabled(look.saveEnabled);
}

void TForm1::RebuildMarkerView() {
    RefreshMarkerList();
}

void TForm1::SelectMarkerRow(int Index) {
    SelectMarkerInList(Index);
}

void TForm1::LoadMarkersForFile(const QString& FileName) {
    // Whatever the file gives, also when reading stops at a bad line, is
    // where the new undo history starts.
    struct NewHistory {
        TForm1* form;
        ~NewHistory() {
            form->FMarkerHistory.reset(form->FMarkers, !form->MarkersChanged());
            form->UpdateUndoItems();
        }
    } newHistory{this};
    FMarkersFileDamaged = false;
    const QString name = MarkerFileNameFor(FileName);
    const QFileInfo info(name);
    if (!info.exists() || info.isDir()) {
        LoadChapterMarkers();
        return;
    }
    try {
        // Text that was not UTF-8 cannot be written back as it was: keep the
        // original beside it on the first save, as for a damaged file.
        if (!ReadMarkerFile(name, FMarkers))
            FMarkersFileDamaged = true;
    } catch (const MarkerFileFormatError&) {
        // The markers before the bad line stay, and the list shows them as
        // the timeline does; saving over the file first keeps the original
        // beside it.
        FMarkersFileDamaged = true;
        RebuildMarkerView();
        throw;
    }
    RebuildMarkerView();
    SetMarkersChanged(false);
    FMarkersFileLoaded = true;
}

void TForm1::btnSaveMarkersClick() {
    if (FAudioFileName.isEmpty())
        return;
    const QString name = MarkerFileNameFor(FAudioFileName);
    if (FMarkersFileDamaged) {
        if (QFileInfo::exists(name))
            BackupMarkerFile(name);
        FMarkersFileDamaged = false;
    }
    WriteMarkerFile(name, FMarkers);
    SetMarkersChanged(false);
    FMarkerHistory.markSaved();
    FMarkersFileLoaded = true;
}

bool TForm1::ConfirmSaveMarkers() {
    if (!MarkersChanged() || (!FMarkersFileLoaded && FMarkers.isEmpty()))
        return true;
    switch (prompts().ask(Prompts::Kind::Confirmation, uLang::Form1_Save_Markers_msg,
                          Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes:
        btnSaveMarkersClick();
        return true;
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

void TForm1::SaveLastPosMarker() {
    if (!TimelineLoaded() || !GetisPlaying())
        return;
    const double position = TimelinePlayPosition();
    if (MarkerExistsAt(FMarkers, position, -1))
        return;
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(now.time(), QLocale::LongFormat);
    FMarkers.append(TMarker{position, uLang::Form1_Marker_description_msg + QLatin1Char(' ') + stamp});
    RebuildMarkerView();
    SetMarkersChanged(true);
    RecordMarkerChange(uLang::undo_add_marker);
    BASS_ChannelStop(FChannel);
}
