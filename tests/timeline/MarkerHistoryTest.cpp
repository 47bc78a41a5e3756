#include "timeline/MarkerHistory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TMarkerList markersAt(std::initializer_list<double> times) {
    TMarkerList list;
    for (double t : times)
        list.append(TMarker{t, QStringLiteral("m")});
    return list;
}

QList<double> timesOf(const TMarkerList& markers) {
    QList<double> times;
    for (const TMarker& m : markers)
        times << m.Time;
    return times;
}

// One user action and what the history shows after it.
struct Step {
    enum Kind { Record, Undo, Redo, Save } kind;
    TMarkerList markers;      // Record only
    QList<double> expected;   // the current list's times afterwards
    bool saved;
    bool canUndo;
    bool canRedo;
};

struct Scenario {
    const char* rule;
    TMarkerList loaded;
    bool loadedMatchesDisk;
    std::vector<Step> steps;
    MarkerHistory::Limits limits{};
};

TEST(MarkerHistory, ScenarioTable) {
    using K = Step::Kind;
    const Scenario scenarios[] = {
        {"undoing back to the loaded list shows it saved again", markersAt({1}), true,
         {{K::Record, markersAt({1, 2}), {1, 2}, false, true, false},
          {K::Undo, {}, {1}, true, false, true},
          {K::Redo, {}, {1, 2}, false, true, false}}},
        {"a save moves the saved step; undoing past it is unsaved", markersAt({}), true,
         {{K::Record, markersAt({1}), {1}, false, true, false},
          {K::Record, markersAt({1, 2}), {1, 2}, false, true, false},
          {K::Save, {}, {1, 2}, true, true, false},
          {K::Undo, {}, {1}, false, true, true},
          {K::Undo, {}, {}, false, false, true},
          {K::Redo, {}, {1}, false, true, true},
          {K::Redo, {}, {1, 2}, true, true, false}}},
        {"a change after an undo drops the steps to redo, the saved one too", markersAt({}), true,
         {{K::Record, markersAt({1}), {1}, false, true, false},
          {K::Save, {}, {1}, true, true, false},
          {K::Undo, {}, {}, false, false, true},
          {K::Record, markersAt({2}), {2}, false, true, false},
          {K::Undo, {}, {}, false, false, true},
          {K::Redo, {}, {2}, false, true, false}}},
        {"an unchanged list is no step", markersAt({1}), true,
         {{K::Record, markersAt({1}), {1}, true, false, false}}},
        {"undo and redo without a step leave the list", markersAt({3}), true,
         {{K::Undo, {}, {3}, true, false, false},
          {K::Redo, {}, {3}, true, false, false}}},
        {"a list that is not what the file holds is never saved", markersAt({1}), false,
         {{K::Record, markersAt({}), {}, false, true, false},
          {K::Undo, {}, {1}, false, false, true},
          {K::Save, {}, {1}, true, false, true}}},
        {"a drag of a tiny distance is a change", markersAt({1}), true,
         {{K::Record, markersAt({1.0000001}), {1.0000001}, false, true, false}}},
        {"past the undo limit the oldest step goes; with the saved one gone none is saved", markersAt({}), true,
         {{K::Record, markersAt({1}), {1}, false, true, false},
          {K::Record, markersAt({1, 2}), {1, 2}, false, true, false},
          {K::Record, markersAt({1, 2, 3}), {1, 2, 3}, false, true, false},
          {K::Undo, {}, {1, 2}, false, true, true},
          {K::Undo, {}, {1}, false, false, true},
          {K::Redo, {}, {1, 2}, false, true, true}},
         {.undoSteps = 2}},
        {"a saved step that stays is still the saved one after older steps go", markersAt({}), true,
         {{K::Record, markersAt({1}), {1}, false, true, false},
          {K::Save, {}, {1}, true, true, false},
          {K::Record, markersAt({1, 2}), {1, 2}, false, true, false},
          {K::Record, markersAt({1, 2, 3}), {1, 2, 3}, false, true, false},
          {K::Undo, {}, {1, 2}, false, true, true},
          {K::Undo, {}, {1}, true, false, true}},
         {.undoSteps = 2}},
        {"many markers keep fewer steps, but the latest change stays undoable", markersAt({1, 2}), true,
         {{K::Record, markersAt({1, 2, 3}), {1, 2, 3}, false, true, false},
          {K::Record, markersAt({1, 2, 3, 4}), {1, 2, 3, 4}, false, true, false},
          {K::Undo, {}, {1, 2, 3}, false, false, true},
          {K::Redo, {}, {1, 2, 3, 4}, false, true, false}},
         {.markers = 5}},
        {"the steps a change drops no longer count toward the marker limit", markersAt({1}), true,
         {{K::Record, markersAt({2}), {2}, false, true, false},
          {K::Record, markersAt({1, 2, 3, 4, 5, 6}), {1, 2, 3, 4, 5, 6}, false, true, false},
          {K::Undo, {}, {2}, false, true, true},
          {K::Record, markersAt({3}), {3}, false, true, false},
          {K::Undo, {}, {2}, false, true, true},
          {K::Undo, {}, {1}, true, false, true}},
         {.markers = 8}},
    };
    for (const Scenario& s : scenarios) {
        MarkerHistory history(s.limits);
        history.reset(s.loaded, s.loadedMatchesDisk);
        int n = 0;
        for (const Step& step : s.steps) {
            ++n;
            switch (step.kind) {
            case K::Record: history.record(step.markers, QStringLiteral("change")); break;
            case K::Undo: history.undo(); break;
            case K::Redo: history.redo(); break;
            case K::Save: history.markSaved(); break;
            }
            EXPECT_EQ(timesOf(history.current()), step.expected) << s.rule << ", step " << n;
            EXPECT_EQ(history.isSaved(), step.saved) << s.rule << ", step " << n;
            EXPECT_EQ(history.canUndo(), step.canUndo) << s.rule << ", step " << n;
            EXPECT_EQ(history.canRedo(), step.canRedo) << s.rule << ", step " << n;
        }
    }
}

TEST(MarkerHistory, DescriptionChangeIsAStepAndLabelsNameTheSteps) {
    MarkerHistory history;
    history.reset(markersAt({1}), true);
    TMarkerList renamed = markersAt({1});
    renamed[0].Description = QStringLiteral("chorus");
    EXPECT_TRUE(history.record(renamed, QStringLiteral("Edit Marker")));
    EXPECT_EQ(history.undoLabel(), QStringLiteral("Edit Marker"));
    EXPECT_EQ(history.redoLabel(), QString());
    EXPECT_EQ(history.undo()[0].Description, QStringLiteral("m"));
    EXPECT_EQ(history.undoLabel(), QString());
    EXPECT_EQ(history.redoLabel(), QStringLiteral("Edit Marker"));
}

TEST(MarkerHistory, LongDragSessionKeepsTheLatestFiveHundredSteps) {
    MarkerHistory history;
    history.reset(markersAt({0}), true);
    for (int drag = 1; drag <= 600; ++drag)
        history.record(markersAt({drag * 0.01}), QStringLiteral("Move Marker"));
    int undone = 0;
    while (history.canUndo()) {
        history.undo();
        ++undone;
    }
    EXPECT_EQ(undone, 500);
    EXPECT_EQ(timesOf(history.current()), QList<double>({100 * 0.01}));
    EXPECT_FALSE(history.isSaved());
}

TEST(MarkerHistory, ReplaceAllIsOneStep) {
    MarkerHistory history;
    history.reset(markersAt({1, 2, 3}), true);
    history.replaceAll(markersAt({5, 6}), QStringLiteral("Import"));
    EXPECT_EQ(timesOf(history.undo()), QList<double>({1, 2, 3}));
    EXPECT_FALSE(history.canUndo());
}

}  // namespace
