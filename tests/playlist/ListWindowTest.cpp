// The playlist window offscreen: commands, messages, reorder, drops, volume,
// and the folder scan that keeps the windows responsive.

#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "controls/uQrGbar.h"
#include "platform/AppError.h"
#include "playlist/FolderScan.h"
#include "playlist/uList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

// Records what the window asks of the player.
struct PlayerRecord {
    QStringList calls;
    int volume = 100;
    int volumeBar = -1;

    TfrmList::TPlayerLink link() {
        TfrmList::TPlayerLink l;
        l.LoadAudioFile = [this](const QString& f) { calls << "load " + f; };
        l.Play_Pause = [this] { calls << "play_pause"; };
        l.Stop = [this] { calls << "stop"; };
        l.SetAutoStop = [this](bool on) { calls << QString("autostop %1").arg(on); };
        l.SaveMarkersIfAutoSave = [this] { calls << "save markers"; };
        l.SetVolumeBar = [this](int v) { volumeBar = v; };
        l.Volume = [this] { return volume; };
        return l;
    }
};

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// Facts of any existing file: a one-second stereo MP3.
bool FakeFacts(const QString& fileName, TfrmList::TFileFacts& facts) {
    if (!QFileInfo::exists(fileName))
        return false;
    facts.FileName = QFileInfo(fileName).fileName();
    facts.FileSizeTxt = "1.50 KB";
    facts.DurationSec = 61.25;
    facts.SampleRate = 44100;
    facts.Channels = 2;
    facts.BitsPerSample = 32;
    facts.Format = "MP3";
    return true;
}

class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        TfrmList::SetFileFactsReader(FakeFacts);
        frm.SetPlayerLink(player.link());
        frm.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    }
    void addRows(const QStringList& files) {
        for (const QString& f : files)
            frm.AddFileToList(f, false);
    }
    void select(int row) { frm.PList->selectRow(row); }
    QPoint rowPoint(int row) const {
        return frm.PList->visualRect(frm.Rows().model().index(row, 1)).center();
    }

    ScriptedPrompts prompts;
    RecordingShell shell;
    PlayerRecord player;
    TfrmList frm;
};

}  // namespace

TEST_F(ListWindow, CommandsOnEmptyListDoNothingButStopStillStops) {
    frm.btnPauseClick();
    frm.btnNextFileClick();
    frm.btnPrevFileClick();
    frm.btnPlayFromListClick();
    frm.btnRemoveClick();
    frm.btnClearClick();
    frm.btnSaveClick();
    frm.miBrowsClick();
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_TRUE(prompts.saveDialogs.isEmpty()) << "saving an empty list opens no dialog";
    EXPECT_TRUE(player.calls.isEmpty());
    frm.btnStopClick();
    EXPECT_EQ(player.calls, QStringList({"stop"}));
}

TEST_F(ListWindow, CaptionNamesTheListFile) {
    EXPECT_EQ(frm.windowTitle(), "PlayList: " + frm.ListFilename());
    EXPECT_TRUE(frm.ListFilename().endsWith("/NeuList"));
}

TEST_F(ListWindow, PlayAndRemoveWithoutSelectionShowTheirMessages) {
    addRows({"/m/a.mp3", "/m/b.mp3"});
    frm.PList->clearSelection();
    frm.btnPlayFromListClick();
    frm.btnRemoveClick();
    EXPECT_EQ(prompts.texts(),
              QStringList({"Please Select List Line to Play!", "Please Select List Line to Delete!"}));
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(frm.Rows().count(), 2);
}

TEST_F(ListWindow, PlaySelectedSavesMarkersThenLoadsAndStarts) {
    addRows({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    select(1);
    frm.btnPlayFromListClick();
    EXPECT_EQ(frm.CurrentFileIdx(), 1);
    EXPECT_EQ(player.calls, QStringList({"save markers", "load /m/b.mp3", "play_pause"}));
}

TEST_F(ListWindow, NextAndPreviousFollowTheCurrentRow) {
    addRows({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    frm.btnNextFileClick();  // nothing current: the first row
    EXPECT_EQ(player.calls, QStringList({"save markers", "load /m/a.mp3", "play_pause"}));
    EXPECT_EQ(frm.GetSelectedFileName(), "/m/a.mp3");
    player.calls.clear();
    frm.btnPrevFileClick();  // at row 0: nothing but the marker rule
    EXPECT_EQ(player.calls, QStringList({"save markers"}));
    frm.PlayNext();
    frm.PlayNext();
    player.calls.clear();
    frm.PlayNext();  // at the last row: no wrap
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(frm.CurrentFileIdx(), 2);
    frm.PlayPrev();
    EXPECT_EQ(player.calls, QStringList({"load /m/b.mp3", "play_pause"}));
}

TEST_F(ListWindow, RemoveAndClearAskFirst) {
    addRows({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    select(0);
    prompts.answer(Prompts::Answer::No);
    frm.btnRemoveClick();
    EXPECT_EQ(frm.Rows().count(), 3);
    select(0);
    prompts.answer(Prompts::Answer::Yes);
    frm.btnRemoveClick();
    EXPECT_EQ(frm.Rows().model().locations(), QStringList({"/m/b.mp3", "/m/c.mp3"}));
    prompts.answer(Prompts::Answer::Cancel);
    frm.btnClearClick();
    EXPECT_EQ(frm.Rows().count(), 2);
    prompts.answer(Prompts::Answer::Ok);
    frm.btnClearClick();
    EXPECT_TRUE(frm.Empty());
    ASSERT_EQ(prompts.asked.size(), 4);
    EXPECT_EQ(prompts.asked[0].text, "Are you Sure?");
    EXPECT_EQ(prompts.asked[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(prompts.asked[2].text, "Are You Sure to Cler the List?");
    EXPECT_EQ(prompts.asked[2].buttons, Prompts::Buttons::OkCancel);
}

TEST_F(ListWindow, DraggedRowLandsByTheRowUnderThePoint) {
    struct Case {
        int source;
        int target;  // -1: empty space below the rows
        QStringList expected;
    };
    const Case table[] = {
        {0, 2, {"B", "C", "A", "D"}},   // A onto C
        {3, 1, {"A", "D", "B", "C"}},   // D onto B
        {1, -1, {"A", "C", "D", "B"}},  // B onto empty space
    };
    for (const Case& c : table) {
        prompts.answer(Prompts::Answer::Ok);
        frm.btnClearClick();
        addRows({"A", "B", "C", "D"});
        const QPoint drop = c.target < 0 ? QPoint(10, frm.PList->viewport()->height() - 2) : rowPoint(c.target);
        select(c.source);
        frm.PListDragDrop(drop);
        EXPECT_EQ(frm.Rows().model().locations(), c.expected) << c.source << " -> " << c.target;
        const QString moved = QStringList({"A", "B", "C", "D"})[c.source];
        EXPECT_EQ(frm.GetSelectedFileName(), moved) << "the moved row is selected";
        QStringList numbers;
        for (int r = 0; r < 4; ++r)
            numbers << frm.Rows().model().at(r).numberText();
        EXPECT_EQ(numbers, QStringList({"0", "1", "2", "3"}));
    }
}

TEST_F(ListWindow, VolumeBarMirrorsBothWays) {
    player.volume = 37;
    frm.hide();
    frm.show();
    EXPECT_EQ(frm.tbVolume->Value(), 37) << "showing takes the main window's volume";
    frm.tbVolume->SetValue(60);
    EXPECT_EQ(player.volumeBar, 60) << "a change reaches the main window's bar";

    const QPoint onBar = frm.tbVolume->mapToGlobal(frm.tbVolume->rect().center());
    frm.tbVolume->SetValue(99);
    EXPECT_TRUE(frm.FormMouseWheel(120, onBar));
    EXPECT_EQ(frm.tbVolume->Value(), 100);
    EXPECT_TRUE(frm.FormMouseWheel(120, onBar));
    EXPECT_EQ(frm.tbVolume->Value(), 100);
    frm.tbVolume->SetValue(1);
    EXPECT_TRUE(frm.FormMouseWheel(0, onBar)) << "a zero step counts as down";
    EXPECT_EQ(frm.tbVolume->Value(), 0);
    EXPECT_EQ(player.volumeBar, 0);
    const QPoint offBar = frm.PList->mapToGlobal(QPoint(5, 5));
    EXPECT_FALSE(frm.FormMouseWheel(120, offBar));
    EXPECT_EQ(frm.tbVolume->Value(), 0);
}

TEST_F(ListWindow, DroppedFolderIsScannedButFolderWithFileAddsOnlyTheFile) {
    QTemporaryDir dir;
    touch(dir.filePath("music/x.MP3"));
    touch(dir.filePath("music/y.flac"));
    touch(dir.filePath("music/z.txt"));
    touch(dir.filePath("music/sub/w.ogg"));
    touch(dir.filePath("single.wav"));
    touch(dir.filePath("other.txt"));

    frm.WMDropFiles({dir.filePath("music")});
    EXPECT_EQ(frm.Rows().model().locations(),
              QStringList({dir.filePath("music/x.MP3"), dir.filePath("music/sub/w.ogg")}));
    EXPECT_EQ(frm.GetSelectedFileName(), dir.filePath("music/sub/w.ogg")) << "the last row is selected";
    EXPECT_EQ(frm.LastAddDir(), dir.filePath("music"));

    prompts.answer(Prompts::Answer::Ok);
    frm.btnClearClick();
    frm.WMDropFiles({dir.filePath("music"), dir.filePath("single.wav"), dir.filePath("other.txt")});
    EXPECT_EQ(frm.Rows().model().locations(), QStringList({dir.filePath("single.wav")}));
    EXPECT_EQ(frm.GetSelectedFileName(), dir.filePath("single.wav"));
    EXPECT_TRUE(frm.Label1->text().startsWith("single.wav | ")) << frm.Label1->text().toStdString();
}

TEST_F(ListWindow, FolderScanFailureAddsNothingAndRaises) {
    QTemporaryDir dir;
    addRows({"/m/a.mp3"});
    const QString before = frm.LastAddDir();
    EXPECT_THROW(frm.AddFolderToList(dir.filePath("missing")), AppError);
    EXPECT_EQ(frm.Rows().count(), 1);
    EXPECT_EQ(frm.LastAddDir(), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is restored";
}

TEST(FolderScan, EventsRunWhileTheSearchRuns) {
    // The search only ends once a timer on the calling thread has fired: a
    // scan that blocked its caller would never see it.
    std::atomic<bool> timerFired{false};
    QTimer::singleShot(20, [&] { timerFired = true; });
    const QStringList result = ScanFolder("/any", [&](const QString& folder) {
        QElapsedTimer clock;
        clock.start();
        while (!timerFired && clock.elapsed() < 5000)
            QThread::msleep(5);
        return QStringList({folder + (timerFired ? "/responsive" : "/blocked")});
    });
    EXPECT_EQ(result, QStringList({"/any/responsive"}));
    EXPECT_THROW(ScanFolder("/any", [](const QString&) -> QStringList { throw AppError("denied"); }), AppError);
}

TEST_F(ListWindow, LoadListBgSelectsFirstRowAndShowsItsFacts) {
    QTemporaryDir dir;
    touch(dir.filePath("a.mp3"));
    const QString list = dir.filePath("list.vpl");
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((dir.filePath("a.mp3") + "\r\n\r\n/m/missing.mp3\r\n").toUtf8());
    }
    EXPECT_FALSE(frm.LoadListBg(dir.filePath("missing.vpl")));
    EXPECT_TRUE(frm.LoadListBg(list));
    EXPECT_EQ(frm.Rows().count(), 3);
    EXPECT_EQ(frm.windowTitle(), "PlayList: " + list);
    EXPECT_EQ(frm.GetSelectedFileName(), dir.filePath("a.mp3"));
    EXPECT_EQ(TfrmList::FileInfoText(dir.filePath("a.mp3")),
              "a.mp3 | 1.50 KB | Duration: 00:01:01.250 | SampleRate: 44100\r"
              "Channels: 2 | Bitrate: 32 | Format: MP3");
    // The label shows the two lines as two lines.
    EXPECT_EQ(frm.Label1->text(), TfrmList::FileInfoText(dir.filePath("a.mp3")).replace('\r', '\n'));
    EXPECT_GT(frm.Label1->height(), 2 * frm.Label1->fontMetrics().height() - 2);
    frm.PList->selectRow(2);
    EXPECT_EQ(frm.Label1->text(), "NO FILE INFO");
}

TEST_F(ListWindow, SlowFactsShowWhenReadAndTheNewestSelectionWins) {
    // Facts of "slow.mp3" wait until released, as a long file's walk would.
    auto released = std::make_shared<std::atomic<bool>>(true);
    TfrmList::SetFileFactsReader(
        [released](const QString& fileName, TfrmList::TFileFacts& facts) {
            while (fileName.endsWith("slow.mp3") && !*released)
                QThread::msleep(2);
            return FakeFacts(fileName, facts);
        },
        0);
    QTemporaryDir dir;
    const QString slow = dir.filePath("slow.mp3"), quick = dir.filePath("quick.mp3");
    touch(slow);
    touch(quick);
    const QString slowText = TfrmList::FileInfoText(slow).replace('\r', '\n');
    const QString quickText = TfrmList::FileInfoText(quick).replace('\r', '\n');
    addRows({slow, quick});

    *released = false;
    select(0);
    EXPECT_EQ(frm.Label1->text(), "") << "the window goes on while the facts are read";
    *released = true;
    QTRY_COMPARE(frm.Label1->text(), slowText);

    // A read still running when another row is selected is never shown.
    *released = false;
    select(1);
    select(0);
    select(1);
    QTRY_COMPARE(frm.Label1->text(), quickText);
    *released = true;
    QTest::qWait(100);
    EXPECT_EQ(frm.Label1->text(), quickText);
}

TEST_F(ListWindow, OpenAndSaveThroughDialogs) {
    QTemporaryDir dir;
    const QString list = dir.filePath("saved.vpl");
    addRows({"/m/a.mp3", "/m/b.mp3"});
    const QString caption = frm.windowTitle();
    prompts.answerSave(list);
    frm.btnSaveClick();
    ASSERT_EQ(prompts.saveDialogs.size(), 1);
    EXPECT_EQ(prompts.saveDialogs[0].defaultSuffix, "vpl");
    EXPECT_EQ(frm.ListFilename(), list);
    EXPECT_EQ(frm.LastSaveDir(), dir.path() + "/");
    EXPECT_EQ(frm.windowTitle(), caption) << "saving under another name keeps the caption";

    prompts.answerOpen({dir.filePath("missing.vpl")});
    frm.btnLoadClick();
    EXPECT_EQ(prompts.texts(), QStringList({"Error Open PlayList"}));
    EXPECT_EQ(frm.Rows().count(), 2);

    prompts.answer(Prompts::Answer::Ok);
    frm.btnClearClick();
    prompts.answerOpen({list});
    frm.btnLoadClick();
    EXPECT_EQ(frm.Rows().model().locations(), QStringList({"/m/a.mp3", "/m/b.mp3"}));
    EXPECT_EQ(frm.windowTitle(), "PlayList: " + list);
    EXPECT_EQ(frm.LastOpenDir(), dir.path() + "/");
    EXPECT_EQ(frm.LastAddDir(), "/m");
}

TEST_F(ListWindow, AddFilesDialogAddsChosenFilesAndContextMenuOpensIt) {
    prompts.answerOpen({"/m/a.mp3", "/m/b.txt"});
    frm.miAddFile->trigger();
    ASSERT_EQ(prompts.openDialogs.size(), 1);
    EXPECT_EQ(prompts.openDialogs[0].filters.at(prompts.openDialogs[0].filterIndex),
              "All Supported Files (*.mp3 *.wav *.wma *.ogg *.mp4 *.mov)");
    EXPECT_TRUE(prompts.openDialogs[0].multiSelect);
    EXPECT_EQ(frm.Rows().model().locations(), QStringList({"/m/a.mp3", "/m/b.txt"}));
    EXPECT_EQ(frm.GetSelectedFileName(), "/m/b.txt");
    frm.miBrows->trigger();
    EXPECT_EQ(shell.folders, QStringList({"/m/"}));
}

TEST_F(ListWindow, ClosingOnlyHides) {
    frm.close();
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frmList(), &frm);
}

TEST_F(ListWindow, FileManagerDropsArriveThroughTheListAndTheWindow) {
    QTemporaryDir dir;
    touch(dir.filePath("a.mp3"));
    touch(dir.filePath("b.OGG"));
    touch(dir.filePath("c.flac"));
    // Sends a drag of mime onto target at pos and drops it; true when taken.
    auto dragAndDrop = [](QWidget* target, QMimeData& mime) {
        const QPoint pos = target->rect().center();
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(dir.filePath("a.mp3")), QUrl::fromLocalFile(dir.filePath("c.flac")),
                   QUrl::fromLocalFile(dir.filePath("b.OGG"))});
    EXPECT_TRUE(dragAndDrop(frm.PList->viewport(), files));
    EXPECT_EQ(frm.Rows().model().locations(), QStringList({dir.filePath("a.mp3"), dir.filePath("b.OGG")}));
    EXPECT_EQ(frm.GetSelectedFileName(), dir.filePath("b.OGG")) << "each added file takes the focus";
    EXPECT_TRUE(dragAndDrop(frm.Label1, files)) << "the whole window is a drop target";
    EXPECT_EQ(frm.Rows().count(), 4);

    // A row dragged from elsewhere is no row of this list.
    QMimeData row;
    row.setData("application/x-velmo-playlist-row", QByteArray());
    select(0);
    EXPECT_FALSE(dragAndDrop(frm.PList->viewport(), row));
    EXPECT_EQ(frm.Rows().count(), 4);
}
