// A new file reaching the main window: handed over by a second start (the
// real program as messenger), dropped from the file manager, or chosen in the
// Open dialog. One table across the three ways: unsaved markers, which files
// are taken, whether playback starts, and what reaches the playlist.

#include "MainWindowFixture.h"

#include "TestEnv.h"
#include "platform/HandOffServer.h"
#include "platform/InstanceLock.h"
#include "playlist/uList.h"
#include "settings/uSettings.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

namespace {

enum class Way { HandOff, Drop, Open };

// A folder path far longer than the 260 characters of a fixed path buffer.
const QString kLongFolder = QString("deep-").repeated(20) + "/" + QString("folder-").repeated(20) + "/" +
                            QString("x").repeated(120);

struct IntakeCase {
    const char* name;
    Way way;
    bool autoSave;
    bool addSetting;  // AddCL, AddOnDrop or AddOnOpen, after the way
    // The files given: handed over (first only), dropped, or chosen in the
    // Open dialog (none: the dialog is cancelled). "dir" is a folder.
    QStringList given;
    // The answer to "save your markers?" when it is asked.
    Prompts::Answer saveAnswer;
    // Expected.
    bool asked;
    bool markersSaved;
    QString loaded;  // the file then loaded, below the test folder ("old.wav": unchanged)
    bool playing;
    bool listed;  // the loaded file was appended to the playlist
};

class Intake : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        settings = std::make_unique<TfrmSettings>();
        QDir(dir.path()).mkdir("dir");
        QDir(dir.path()).mkpath(kLongFolder);
        for (const QString& name : {QString("old.wav"), QString("new.wav"), QString("NEW.WAV"),
                                    QString("dir/inside.wav"), kLongFolder + "/long.wav"})
            SineFile(name, 1.0);
        QFile notes(dir.filePath("notes.txt"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    }
    void TearDown() override {
        settings.reset();
        MainWindowTest::TearDown();
    }

    // old.wav loaded and stopped, with one unsaved marker, no marker file,
    // and an empty playlist.
    void StartWithUnsavedMarker() {
        QFile::remove(dir.filePath("old.wav.mrk"));
        form->LoadAudioFile(dir.filePath("old.wav"));
        ASSERT_EQ(QFileInfo(form->AudioFileName()).fileName(), "old.wav");
        form->btnAddMarkerClick();
        ASSERT_TRUE(form->MarkersChanged());
        prompts->answer(Prompts::Answer::Ok);
        frmList()->btnClearClick();
        prompts->clear();
    }

    void Apply(const IntakeCase& c) {
        settings->SetAutoSave(c.autoSave);
        settings->SetAddCL(c.way == Way::HandOff && c.addSetting);
        settings->SetAddOnDrop(c.way == Way::Drop && c.addSetting);
        settings->SetAddOnOpen(c.way == Way::Open && c.addSetting);
        QStringList paths;
        for (const QString& name : c.given)
            paths << dir.filePath(name);
        if (c.asked)
            prompts->answer(c.saveAnswer);
        switch (c.way) {
        case Way::HandOff:
            HandOverWithSecondStart(paths.value(0));
            break;
        case Way::Drop:
            DropOnWindow(paths);
            break;
        case Way::Open:
            prompts->answerOpen(paths);
            form->btnOpenFileClick();
            break;
        }
    }

    // Starts the real program while this test holds the instance lock, so it
    // becomes a messenger and hands the path to this window.
    void HandOverWithSecondStart(const QString& path) {
        InstanceLock lock;
        ASSERT_EQ(lock.acquire(), InstanceLock::Result::Acquired);
        HandOffServer server([this](const QString& p) { form->WMCopyData(p); });
        ASSERT_TRUE(server.listen(lock));
        QProcess messenger;
        messenger.start(TestEnv::playerBinary(), {path});
        ASSERT_TRUE(WaitUntil([&] { return messenger.state() == QProcess::NotRunning; }, 15000));
        EXPECT_EQ(messenger.exitCode(), 0);
    }

    // A drop from the file manager: local file addresses, as the desktop
    // sends them.
    void DropOnWindow(const QStringList& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        // The drop goes where the drag entered and was accepted.
        QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &drop);
        EXPECT_TRUE(drop.isAccepted()) << "the drop is always released";
    }

    std::unique_ptr<TfrmSettings> settings;
};

using P = Prompts::Answer;

const IntakeCase kCases[] = {
    // Hand-off: never asks, starts playback, AddCL.
    {"handoff upper-case extension, changes dropped", Way::HandOff, false, true, {"NEW.WAV"}, P::Cancel,
     false, false, "NEW.WAV", true, true},
    {"handoff with AutoSave saves first", Way::HandOff, true, false, {"new.wav"}, P::Cancel,
     false, true, "new.wav", true, false},
    {"handoff of a missing path saves nothing", Way::HandOff, true, true, {"missing.wav"}, P::Cancel,
     false, false, "old.wav", false, false},
    {"handoff of a folder saves nothing", Way::HandOff, true, true, {"dir"}, P::Cancel,
     false, false, "old.wav", false, false},
    {"handoff of a path longer than any fixed buffer", Way::HandOff, false, false, {kLongFolder + "/long.wav"},
     P::Cancel, false, false, kLongFolder + "/long.wav", true, false},
    {"handoff of another file type saves, then ignores it", Way::HandOff, true, true, {"notes.txt"}, P::Cancel,
     false, true, "old.wav", false, false},
    // Drop: asks (or saves with AutoSave), first accepted file, not played.
    {"drop cancelled in the question", Way::Drop, false, true, {"new.wav"}, P::Cancel,
     true, false, "old.wav", false, false},
    {"drop loads the first accepted file", Way::Drop, false, true, {"dir", "notes.txt", "NEW.WAV", "new.wav"},
     P::Yes, true, true, "NEW.WAV", false, true},
    {"drop of a folder and another type loads nothing", Way::Drop, true, true, {"dir", "notes.txt"}, P::Cancel,
     false, true, "old.wav", false, false},
    {"drop answered No loses the changes", Way::Drop, false, false, {"new.wav"}, P::No,
     true, false, "new.wav", false, false},
    {"drop of a path longer than any fixed buffer", Way::Drop, true, true, {kLongFolder + "/long.wav"}, P::Cancel,
     false, true, kLongFolder + "/long.wav", false, true},
    // Open: asks before the dialog, not played.
    {"open cancelled in the question shows no dialog", Way::Open, false, true, {"new.wav"}, P::Cancel,
     true, false, "old.wav", false, false},
    {"open after Yes", Way::Open, false, true, {"NEW.WAV"}, P::Yes,
     true, true, "NEW.WAV", false, true},
    {"open dialog cancelled adds nothing", Way::Open, true, true, {}, P::Cancel,
     false, true, "old.wav", false, false},
};

}  // namespace

TEST_F(Intake, TheThreeWaysFollowTheirRules) {
    for (const IntakeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        StartWithUnsavedMarker();
        Apply(c);
        EXPECT_EQ(!prompts->asked.isEmpty(), c.asked);
        EXPECT_EQ(QFileInfo::exists(dir.filePath("old.wav.mrk")), c.markersSaved);
        EXPECT_EQ(form->AudioFileName().toStdString(), dir.filePath(c.loaded).toStdString());
        EXPECT_EQ(form->isPlaying(), c.playing);
        const QString expectedList = c.listed ? dir.filePath(c.loaded) : QString();
        EXPECT_EQ(frmList()->Rows().model().locations().join('|').toStdString(), expectedList.toStdString());
        if (c.way == Way::Open && c.asked && c.saveAnswer == P::Cancel) {
            EXPECT_TRUE(prompts->openDialogs.isEmpty());
        }
        form->Stop();
    }
}

TEST_F(Intake, OpenDialogOffersTheSupportedTypes) {
    prompts->answerOpen({});
    form->btnOpenFileClick();
    ASSERT_EQ(prompts->openDialogs.size(), 1);
    const Prompts::FileDialog& dialog = prompts->openDialogs.first();
    EXPECT_EQ(dialog.filters.at(dialog.filterIndex),
              "All Supported Files (*.mp3 *.wav *.wma *.ogg *.flac *.mp4 *.m4a)");
    EXPECT_EQ(dialog.filters.size(), 8);
    EXPECT_FALSE(dialog.multiSelect);
}

// A web link dragged from a browser is not a file: the window refuses it and
// asks nothing.
TEST_F(Intake, DraggedWebLinkIsRefusedWithoutTheSaveQuestion) {
    StartWithUnsavedMarker();
    settings->SetAutoSave(false);
    QMimeData mime;
    mime.setUrls({QUrl("https://example.org/song.mp3")});
    QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &drop);
    EXPECT_TRUE(prompts->asked.isEmpty());
    EXPECT_EQ(QFileInfo(form->AudioFileName()).fileName(), "old.wav");
    EXPECT_TRUE(form->MarkersChanged());
}
