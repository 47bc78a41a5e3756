#include "MarkerWindow.h"
#include "ScriptedPrompts.h"
#include "timeline/uEditor.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

using Answer = Prompts::Answer;
constexpr int kNumber = MarkerListModel::ColNumber;
constexpr int kTimeCode = MarkerListModel::ColTimeCode;
constexpr int kDescription = MarkerListModel::ColDescription;

TEST(MarkerCommands, AddingTwiceAtOnePositionShowsTheMessage) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.loadSilence(30);
    w.seek(12.5);
    w.form().btnAddMarker->click();
    ASSERT_EQ(w.markerTimes(), QList<double>({12.5}));
    EXPECT_EQ(w.column(kDescription), QStringList({"Edit Description"}));
    EXPECT_TRUE(w.form().MarkersChanged());
    EXPECT_TRUE(prompts.texts().isEmpty());

    w.form().btnAddMarkerClick();
    EXPECT_EQ(w.markerTimes().size(), 1);
    EXPECT_EQ(prompts.texts(), QStringList({"A marker already exists at this time position"}));
}

TEST(MarkerCommands, NothingLoadedAddsNothing) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.form().btnAddMarkerClick();
    w.form().btnNextMarkerClick();
    EXPECT_TRUE(w.form().FMarkers.isEmpty());
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST(MarkerCommands, DeleteNearestTable) {
    struct Case {
        const char* rule;
        double position;
        int selectedRow;       // -1: none
        bool viaListMenu;      // the list menu's "Delete Marker..." instead of the button
        Answer answer;
        QList<double> remaining;
    };
    const Case cases[] = {
        {"equal distance takes the first", 15.0, -1, false, Answer::Ok, {20.0}},
        {"no distance limit", 29.0, -1, false, Answer::Ok, {10.0}},
        {"cancel deletes nothing", 15.0, -1, false, Answer::Cancel, {10.0, 20.0}},
        {"list menu ignores the selected row", 19.0, 0, true, Answer::Ok, {10.0}},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        MarkerWindow w;
        w.loadSilence(30);
        w.setMarkers({10.0, 20.0});
        w.seek(c.position);
        if (c.selectedRow >= 0)
            w.selectRow(c.selectedRow);
        prompts.answer(c.answer);
        if (c.viaListMenu)
            w.form().miDelete->trigger();
        else
            w.form().btnDeleteMarker->click();
        EXPECT_EQ(w.markerTimes(), c.remaining) << c.rule;
        EXPECT_EQ(w.column(kTimeCode).size(), c.remaining.size()) << c.rule;
        EXPECT_EQ(prompts.texts(), QStringList({"Are you sure to delete this Marker?"})) << c.rule;
        EXPECT_EQ(w.form().MarkersChanged(), c.answer == Answer::Ok) << c.rule;
    }
}

TEST(MarkerCommands, StepTable) {
    struct Case {
        const char* rule;
        bool forward;
        std::initializer_list<double> markers;
        double position;
        double expectedPosition;
        int expectedRow;
    };
    const Case cases[] = {
        {"next on a marker goes to the following one", true, {5.0, 10.0, 20.0}, 10.0, 20.0, 2},
        {"next passes a marker within 1 ms", true, {5.0, 10.0005, 20.0}, 10.0, 20.0, 2},
        {"next after the last marker stays", true, {5.0, 10.0}, 12.0, 12.0, -1},
        {"previous goes to the latest earlier one", false, {1.0, 5.0, 9.0}, 8.0, 5.0, 1},
        {"previous never reaches 0 s", false, {0.0, 5.0}, 3.0, 3.0, -1},
    };
    for (const Case& c : cases) {
        MarkerWindow w;
        w.loadSilence(30);
        w.setMarkers(c.markers);
        w.seek(c.position);
        w.form().btnPlayPauseClick();  // playing
        ASSERT_TRUE(w.form().isPlaying());
        if (c.forward)
            w.form().btnNextMarker->click();
        else
            w.form().btnPreviousMarker->click();
        EXPECT_FALSE(w.form().isPlaying()) << c.rule;  // always pauses
        EXPECT_NEAR(w.position(), c.expectedPosition, 0.05) << c.rule;
        EXPECT_EQ(w.form().SelectedMarkerRow(), c.expectedRow) << c.rule;
    }
}

TEST(MarkerCommands, DoubleClickWhilePlayingPlaysOnFromTheMarker) {
    MarkerWindow w;
    w.loadSilence(30);
    w.setMarkers({4.0, 20.0});
    w.form().btnPlayPauseClick();
    w.selectRow(1);
    w.form().lvMarkersDblClick();
    EXPECT_TRUE(w.form().isPlaying());
    EXPECT_NEAR(w.position(), 20.0, 0.5);
}

TEST(MarkerCommands, JumpToAnUnreadableTimeShowsTheMessage) {
    // A marker file may bring a negative time, whose text does not read back.
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.loadSilence(30);
    w.setMarkers({-1.5, 3.0});
    w.seek(7.0);
    w.selectRow(0);
    w.form().miJump->trigger();
    EXPECT_EQ(prompts.texts(), QStringList({"Invalid time format for the selected marker"}));
    EXPECT_NEAR(w.position(), 7.0, 0.01);
}

TEST(MarkerCommands, DeleteAllEmptiesListAndRows) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.loadSilence(30);
    w.setMarkers({1.0, 2.0});
    prompts.answer(Answer::Ok);
    w.form().miClearMarkersList->trigger();
    EXPECT_TRUE(w.form().FMarkers.isEmpty());
    EXPECT_TRUE(w.column(kNumber).isEmpty());
    EXPECT_TRUE(w.form().MarkersChanged());
    EXPECT_EQ(prompts.texts(), QStringList({"Are you sure to delete all markers?"}));
}

TEST(MarkerList, DeletingTheMiddleRowKeepsTheNumbersUntilTheNextRebuild) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.setMarkers({1.0, 2.0, 3.0});
    w.selectRow(1);
    prompts.answer(Answer::Ok);
    w.form().btmDeleteLvMarker->click();
    EXPECT_EQ(w.markerTimes(), QList<double>({1.0, 3.0}));
    EXPECT_EQ(w.column(kNumber), QStringList({"1", "3"}));
    EXPECT_TRUE(w.form().MarkersChanged());
    w.form().RefreshMarkerList();
    EXPECT_EQ(w.column(kNumber), QStringList({"1", "2"}));
}

TEST(MarkerList, RowDeleteTakesTheRowsOwnMarkerAmongNearTimes) {
    // Two markers 4 ms apart: the one whose row is selected goes, not merely
    // the last one within 10 ms of the row's time.
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.setMarkers({5.0, 5.004});
    w.selectRow(0);
    prompts.answer(Answer::Ok);
    w.form().btmDeleteLvMarkerClick();
    ASSERT_EQ(w.form().FMarkers.size(), 1);
    EXPECT_EQ(w.form().FMarkers[0].Description, "m2");
    EXPECT_EQ(w.column(kDescription), QStringList({"m2"}));
}

TEST(MarkerList, RowDeleteWithoutSelectionStillAsksAndMarksChanged) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.setMarkers({1.0, 2.0});
    prompts.answer(Answer::Ok);
    w.form().btmDeleteLvMarkerClick();
    EXPECT_EQ(w.markerTimes().size(), 2);
    EXPECT_EQ(prompts.texts(), QStringList({"Are you sure to delete this Marker?"}));
    EXPECT_TRUE(w.form().MarkersChanged());
}

TEST(MarkerList, RebuildSortsAndKeepsTheSelectedPosition) {
    MarkerWindow w;
    w.setMarkers({2.0, 3.0});
    w.selectRow(1);
    w.form().FMarkers.append({1.0, "early"});
    w.form().RefreshMarkerList();
    EXPECT_EQ(w.markerTimes(), QList<double>({1.0, 2.0, 3.0}));
    EXPECT_EQ(w.column(kDescription), QStringList({"early", "m1", "m2"}));
    EXPECT_EQ(w.form().SelectedMarkerRow(), 1);  // the same row, now another marker

    w.form().SelectMarkerInList(3);   // outside the rows: nothing changes
    EXPECT_EQ(w.form().SelectedMarkerRow(), 1);
    w.form().SelectMarkerInList(2);
    EXPECT_EQ(w.form().SelectedMarkerRow(), 2);
}

TEST(MarkerList, EditTable) {
    struct Case {
        const char* rule;
        std::function<void(TfrmEditMarker*)> inEditor;
        QString expected;
        bool changed;
    };
    const Case cases[] = {
        {"OK with the text unchanged changes nothing",
         [](TfrmEditMarker* e) { e->SpeedButton2->click(); }, "m2", false},
        {"clearing and OK gives an empty description",
         [](TfrmEditMarker* e) {
             e->SpeedButton3->click();
             e->SpeedButton2->click();
         },
         "", true},
        {"two lines are joined by two spaces",
         [](TfrmEditMarker* e) {
             e->Memo1->setPlainText("Intro\npart 2");
             e->SpeedButton2->click();
         },
         "Intro  part 2", true},
        {"cancel keeps the description",
         [](TfrmEditMarker* e) {
             e->Memo1->setPlainText("other");
             e->btnCancel->click();
         },
         "m2", false},
    };
    for (const Case& c : cases) {
        MarkerWindow w;
        w.setMarkers({1.0, 2.0});
        w.selectRow(1);
        MarkerWindow::whileEditorShown(c.inEditor);
        w.form().btnEditMarker->click();
        EXPECT_EQ(w.form().FMarkers[1].Description, c.expected) << c.rule;
        EXPECT_EQ(w.column(kDescription).value(1), c.expected) << c.rule;
        EXPECT_EQ(w.form().MarkersChanged(), c.changed) << c.rule;
        EXPECT_EQ(w.form().FMarkers[1].Time, 2.0) << c.rule;
    }
}

TEST(MarkerList, EditWithoutSelectionAsksForOne) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    w.setMarkers({1.0});
    w.form().btnEditMarkerClick();
    EXPECT_EQ(prompts.texts(), QStringList({"Please select a marker to edit"}));
}

}  // namespace

namespace {

TEST(MarkerList, ViewIsAReadOnlySingleRowListWhoseSelectionStaysVisible) {
    MarkerWindow w;
    QTableView* view = w.form().lvMarkers;
    EXPECT_TRUE(view->showGrid());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QPalette pal = view->palette();
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::Highlight),
              pal.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(pal.color(QPalette::Base), QColor(62, 62, 62));
    EXPECT_EQ(pal.color(QPalette::Text), QColor(243, 254, 209));

    // A larger font (the MarkersFontSize setting) makes every row taller.
    w.setMarkers({1.0});
    const int before = view->rowHeight(0);
    QFont big = view->font();
    big.setPointSize(20);
    view->setFont(big);
    EXPECT_GT(view->rowHeight(0), before);
}

}  // namespace
