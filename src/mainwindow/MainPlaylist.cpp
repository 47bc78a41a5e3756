// TForm1's side of the playlist: creating the playlist window and binding its
// transport, volume and settings commands to this window.

#include "mainwindow/uMain.h"

#include "controls/uQrGbar.h"
#include "playback/uAudioInfo.h"
#include "playlist/uList.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// The playlist's file details are the facts the file information reads.
// Runs on any thread: the message about a missing file is the GUI thread's
// to show.
bool ReadFileFacts(const QString& FileName, TfrmList::TFileFacts& Facts) {
    TAudioInfo info;
    const TAudioInfoRead read = ReadAudioInfo(FileName, info);
    if (read == TAudioInfoRead::Missing) {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [FileName] { ReportMissingAudioFile(FileName); });
    }
    if (read != TAudioInfoRead::Read)
        return false;
    Facts = {info.FileName, info.FileSizeTxt,  info.DurationSec, info.SampleRate,
             info.Channels, info.BitsPerSample, info.Format};
    return true;
}

}  // namespace

void TForm1::PreparePlayListWindow() {
    TfrmList::SetFileFactsReader(ReadFileFacts);
    // Made once this window has been painted, or earlier when something asks
    // for it; one left from an earlier main window is bound now.
    SetListWindowMaker([] {
        if (TForm1* form = Form1())
            form->CreatePlayListWindow();
    });
    if (frmListIfMade())
        CreatePlayListWindow();
    connect(this, &TForm1::FirstPainted, this, [this] { PlayList(); });
}

void TForm1::CreatePlayListWindow() {
    // Without an owner: the playlist is a top-level window of its own that
    // lives as long as the program.
    TfrmList* made = frmListIfMade();
    TfrmList* list = made ? made : new TfrmList(nullptr);
    TfrmList::SetFileFactsReader(ReadFileFacts, LoadWaitMs());
    // The link reaches this window only while it exists.
    QPointer<TForm1> self(this);
    auto with = [self](auto action) {
        return [self, action](auto&&... args) {
            if (self)
                action(self.data(), args...);
        };
    };
    TfrmList::TPlayerLink link;
    link.LoadAudioFile = with([](TForm1* f, const QString& file) { f->LoadAudioFile(file); });
    link.Play_Pause = with([](TForm1* f) { f->Play_Pause(); });
    link.Stop = with([](TForm1* f) { f->Stop(); });
    link.SetAutoStop = with([](TForm1* f, bool on) { f->SetAutoStop(on ? -1 : 0); });
    link.SaveMarkersIfAutoSave = with([](TForm1* f) {
        if (f->MarkersChanged() && f->SettingAutoSave())
            f->btnSaveMarkersClick();
    });
    link.SetVolumeBar = with([](TForm1* f, int value) { f->tbVolume->SetValue(value); });
    link.Volume = [self] { return self ? self->GetVolume() : 0; };
    link.ShowPlayer = with([](TForm1* f) {
        f->show();
        f->raise();
        f->activateWindow();
    });
    link.ShowSettings = with([](TForm1* f) { f->btnOptionsClick(); });
    list->SetPlayerLink(std::move(link));
    FPlayList = list->Link();
    // The box shows this window's auto-stop from the start; set quietly, as
    // there is nothing to pass back.
    FPlayList.ShowAutoStopQuietly(FAutoStop != 0);
    FPlayList.ShowVolume(tbVolume->Value());
    if (!made)
        emit PlayListWindowMade(list);
}

const TPlayListLink& TForm1::PlayList() {
    if (!FPlayList.Bound())
        CreatePlayListWindow();
    return FPlayList;
}

void TForm1::AddToPlayList(const QString& FileName) {
    PlayList().AddFile(FileName);
}
