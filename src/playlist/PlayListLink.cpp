#include "playlist/PlayListLink.h"

#include "controls/uQrGbar.h"
#include "playlist/uList.h"

#include <QCheckBox>
#include <QSignalBlocker>

TPlayListLink::TPlayListLink(TfrmList* list) : FList(list) {}

bool TPlayListLink::Empty() const { return !FList || FList->Empty(); }

void TPlayListLink::UpdatePlayPause() const {
    if (FList)
        FList->UpdatePlayPause();
}

void TPlayListLink::ShowAutoStop(bool on) const {
    if (FList)
        FList->cbAutoStop->setChecked(on);
}

void TPlayListLink::ShowAutoStopQuietly(bool on) const {
    if (!FList)
        return;
    const QSignalBlocker quiet(FList->cbAutoStop);
    FList->cbAutoStop->setChecked(on);
}

void TPlayListLink::ShowLevel(int value) const {
    if (FList)
        FList->gbIUv->SetValue(value);
}

void TPlayListLink::ShowVolume(int value) const {
    if (FList)
        FList->tbVolume->SetValue(value);
}

void TPlayListLink::AddFile(const QString& FileName) const {
    if (FList)
        FList->AddFileToList(FileName, false);
}

void TPlayListLink::PlayNext() const {
    if (FList)
        FList->PlayNext();
}

void TPlayListLink::PlayPrev() const {
    if (FList)
        FList->PlayPrev();
}

void TPlayListLink::ShowWindow() const {
    if (!FList)
        return;
    FList->show();
    FList->raise();
    FList->activateWindow();
}

void TPlayListLink::SaveList() const {
    if (FList)
        FList->SaveListBg(FList->ListFilename());
}
