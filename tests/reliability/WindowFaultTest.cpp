// Faults met through the player's windows: a marker or playlist save into a
// folder that cannot take it (read-only, or a full file system) shows the
// error and keeps the unsaved state for a retry; an audio file deleted or cut
// short while it plays ends cleanly and the end-of-track rules still apply.
#include "AudioRig.h"
#include "FileFaults.h"
#include "PlayerWindow.h"
#include "TestEnv.h"
#include "settings/uSettings.h"
#include "timeline/MarkerFile.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include <functional>
#include <memory>
#include <ostream>

namespace {

struct FolderFault {
    const char* name;
    const char* mountOptions;
    std::function<bool(TmpfsMount&)> apply;
    std::function<bool(TmpfsMount&)> undo;
};

void PrintTo(const FolderFault& fault, std::ostream* out) { *out << fault.name; }

QString fillerOf(const TmpfsMount& mount) { return mount.folder() + "/filler"; }

// Takes every free block of the file system.
bool fill(TmpfsMount& mount) {
    QFile file(fillerOf(mount));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (file.write(block) == block.size()) {
    }
    return true;
}

const FolderFault kFolderFaults[] = {
    {"ReadOnly", "size=1m", [](TmpfsMount& m) { return m.remount("ro"); },
     [](TmpfsMount& m) { return m.remount("rw"); }},
    {"Full", "size=1m", fill, [](TmpfsMount& m) { return QFile::remove(fillerOf(m)); }},
};

class WindowSaveFault : public ::testing::TestWithParam<FolderFault> {
protected:
    void SetUp() override {
        mount_ = std::make_unique<TmpfsMount>(temp_.path() + "/music", QString::fromLatin1(GetParam().mountOptions));
        if (!mount_->ok())
            GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    QString file(const QString& name) const { return mount_->folder() + "/" + name; }
    bool applyFault() { return GetParam().apply(*mount_); }
    bool undoFault() { return GetParam().undo(*mount_); }

    QTemporaryDir temp_{TestEnv::root() + "/windowXXXXXX"};
    std::unique_ptr<TmpfsMount> mount_;
};

bool isCreateError(const QString& message, const QString& path) {
    return message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)) ||
           message.startsWith(QStringLiteral("Cannot write file \"%1\". ").arg(path));
}

int markersIn(const QString& path) {
    TMarkerList markers;
    ReadMarkerFile(path, markers);
    return int(markers.size());
}

// A loaded song with a marker file of one marker, and a second marker added.
struct SongWithNewMarker {
    QString song;
    QString markerFile;
    QByteArray oldMarkerFile;
};

SongWithNewMarker loadAndAddMarker(PlayerWindow& player, const QString& song) {
    WriteToneWav(song, 2.0);
    const QString markerFile = MarkerFileNameFor(song);
    WriteMarkerFile(markerFile, TMarkerList{TMarker{0.5, QStringLiteral("old")}});
    player.form().LoadAudioFile(song);
    PlayerWindow::click(player.form().btnAddMarker);
    return {song, markerFile, ReadAll(markerFile)};
}

TEST_P(WindowSaveFault, FailedMarkerSaveShowsTheErrorAndKeepsTheChanges) {
    PlayerWindow player(false);
    TForm1& form = player.form();
    const SongWithNewMarker s = loadAndAddMarker(player, file("song.wav"));
    ASSERT_EQ(form.FMarkers.size(), 2);
    ASSERT_TRUE(form.MarkersChanged());
    ASSERT_TRUE(applyFault());

    PlayerWindow::click(form.btnSaveMarkers);
    ASSERT_EQ(player.errors().size(), 1);
    EXPECT_TRUE(isCreateError(player.errors()[0], s.markerFile)) << player.errors()[0].toStdString();
    EXPECT_TRUE(form.MarkersChanged());
    EXPECT_TRUE(form.btnSaveMarkers->isEnabled());
    EXPECT_EQ(form.FMarkers.size(), 2);
    EXPECT_EQ(ReadAll(s.markerFile), s.oldMarkerFile);

    // The user retries once the folder takes files again.
    ASSERT_TRUE(undoFault());
    PlayerWindow::click(form.btnSaveMarkers);
    EXPECT_EQ(player.errors().size(), 1);
    EXPECT_FALSE(form.MarkersChanged());
    EXPECT_EQ(markersIn(s.markerFile), 2);
}

TEST_P(WindowSaveFault, FailedMarkerSaveOnCloseKeepsTheWindowOpen) {
    PlayerWindow player(false);
    TForm1& form = player.form();
    const SongWithNewMarker s = loadAndAddMarker(player, file("song.wav"));
    ASSERT_TRUE(applyFault());

    player.prompts().answer(Prompts::Answer::Yes);  // save the markers
    EXPECT_FALSE(player.closeWindow());
    ASSERT_EQ(player.errors().size(), 1);
    EXPECT_TRUE(isCreateError(player.errors()[0], s.markerFile)) << player.errors()[0].toStdString();
    EXPECT_TRUE(form.MarkersChanged());
    EXPECT_EQ(ReadAll(s.markerFile), s.oldMarkerFile);
    EXPECT_NE(form.Channel(), 0u) << "the failed close ended the audio library";

    // Asked again at the next close, the save now goes through.
    ASSERT_TRUE(undoFault());
    player.prompts().answer(Prompts::Answer::Yes);
    EXPECT_TRUE(player.closeWindow());
    EXPECT_EQ(markersIn(s.markerFile), 2);
}

// With automatic saving a failed save at close cannot ask first; after its
// error the save question decides, so the window can always be closed.
TEST_P(WindowSaveFault, FailedAutomaticSaveOnCloseFallsBackToTheQuestion) {
    PlayerWindow player(false);
    TForm1& form = player.form();
    TfrmSettings settings;
    settings.SetAutoSave(true);
    const SongWithNewMarker s = loadAndAddMarker(player, file("song.wav"));
    ASSERT_TRUE(applyFault());

    player.prompts().answer(Prompts::Answer::Ok);  // the error
    player.prompts().answer(Prompts::Answer::Cancel);
    EXPECT_FALSE(player.closeWindow());
    ASSERT_EQ(player.errors().size(), 1);
    EXPECT_TRUE(isCreateError(player.errors()[0], s.markerFile)) << player.errors()[0].toStdString();
    ASSERT_EQ(player.prompts().asked.size(), 2);
    EXPECT_EQ(player.prompts().asked[1].buttons, Prompts::Buttons::YesNoCancel);
    EXPECT_TRUE(form.MarkersChanged());

    // The user gives the markers up; the old file stays as it was.
    player.prompts().answer(Prompts::Answer::Ok);
    player.prompts().answer(Prompts::Answer::No);
    EXPECT_TRUE(player.closeWindow());
    EXPECT_EQ(ReadAll(s.markerFile), s.oldMarkerFile);
}

TEST_P(WindowSaveFault, FailedPlaylistSaveKeepsTheListAndItsFileName) {
    PlayerWindow player(false);
    TfrmList& list = player.list();
    list.show();
    for (const char* name : {"a.mp3", "b.ogg", "c.flac"})
        list.AddFileToList(QStringLiteral("/music/") + QLatin1String(name), false);
    const QString listFile = file("list.vpl");
    list.SaveListBg(listFile);
    const QByteArray oldList = ReadAll(listFile);
    list.AddFileToList(QStringLiteral("/music/d.wav"), false);
    ASSERT_TRUE(applyFault());

    // Over the list's own file, then under a new name.
    const QString newFile = file("new.vpl");
    for (const QString& target : {listFile, newFile}) {
        SCOPED_TRACE(target.toStdString());
        player.prompts().clear();
        player.prompts().answerSave(target);
        PlayerWindow::click(list.btnSave);
        ASSERT_EQ(player.errors().size(), 1);
        EXPECT_TRUE(isCreateError(player.errors()[0], target)) << player.errors()[0].toStdString();
        EXPECT_EQ(list.ListFilename(), listFile);
        EXPECT_EQ(list.Rows().count(), 4);
        EXPECT_EQ(ReadAll(listFile), oldList);
        EXPECT_FALSE(QFileInfo::exists(newFile));
    }

    ASSERT_TRUE(undoFault());
    player.prompts().clear();
    player.prompts().answerSave(newFile);
    PlayerWindow::click(list.btnSave);
    EXPECT_TRUE(player.errors().isEmpty());
    EXPECT_EQ(list.ListFilename(), newFile);
    EXPECT_EQ(ReadAll(newFile).count('\n'), 4);
}

INSTANTIATE_TEST_SUITE_P(Folder, WindowSaveFault, ::testing::ValuesIn(kFolderFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the playing file changes under the player ------------------------------------

struct PlayingFault {
    const char* name;
    std::function<void(const QString&)> apply;
};

const PlayingFault kPlayingFaults[] = {
    {"Deleted", [](const QString& p) { QFile::remove(p); }},
    {"TruncatedToHeader", [](const QString& p) { QFile::resize(p, 44); }},
    {"TruncatedMidFrame", [](const QString& p) { QFile::resize(p, 44 + 44100 * 4 + 3); }},
    {"TruncatedToNothing", [](const QString& p) { QFile::resize(p, 0); }},
};

void PrintTo(const PlayingFault& fault, std::ostream* out) { *out << fault.name; }

class PlayingFileFault : public ::testing::TestWithParam<std::tuple<PlayingFault, bool>> {
protected:
    const PlayingFault& fault() const { return std::get<0>(GetParam()); }
    bool autoStop() const { return std::get<1>(GetParam()); }
};

// The first of two playlist rows plays when its file changes; what follows
// is what the end of a track does: stop at the start with auto-stop on, the
// next row otherwise.
TEST_P(PlayingFileFault, TrackEndsCleanlyAndTheEndOfTrackRulesApply) {
    PlayerWindow player(false);
    TForm1& form = player.form();
    TfrmList& list = player.list();
    QTemporaryDir temp(TestEnv::root() + "/playingXXXXXX");
    const QString first = temp.path() + "/first.wav";
    const QString second = temp.path() + "/second.wav";
    WriteToneWav(first, 3.0);
    WriteToneWav(second, 0.5);
    list.AddFileToList(first, false);
    list.AddFileToList(second, false);
    form.SetAutoStop(autoStop() ? -1 : 0);
    list.PlayNext();
    ASSERT_EQ(form.AudioFileName(), first);
    ASSERT_TRUE(RunUntil([&] { return player.position() > 0.3; }, 5000));

    fault().apply(first);
    if (autoStop()) {
        ASSERT_TRUE(RunUntil([&] { return !form.isPlaying(); }, 8000)) << "the track never ended";
        RunUntil([] { return false; }, 200);
        EXPECT_EQ(form.AudioFileName(), first);
        EXPECT_NE(form.Channel(), 0u);
        EXPECT_EQ(player.position(), 0.0);
        EXPECT_EQ(form.PlayPauseImage(), 0);
        EXPECT_EQ(list.CurrentFileIdx(), 0);
    } else {
        ASSERT_TRUE(RunUntil([&] { return form.AudioFileName() == second; }, 8000)) << "the next row never started";
        EXPECT_TRUE(form.isPlaying());
        EXPECT_EQ(list.CurrentFileIdx(), 1);
        // The last row plays to its end and the player stops there.
        EXPECT_TRUE(RunUntil([&] { return !form.isPlaying(); }, 5000));
        EXPECT_EQ(form.AudioFileName(), second);
    }
    EXPECT_TRUE(player.errors().isEmpty()) << player.errors().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(WhilePlaying, PlayingFileFault,
                         ::testing::Combine(::testing::ValuesIn(kPlayingFaults), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_AutoStop" : "_PlaysOn");
                         });

}  // namespace
