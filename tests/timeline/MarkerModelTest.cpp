#include "timeline/MarkerModel.h"

#include <gtest/gtest.h>

namespace {

TMarkerList markersAt(std::initializer_list<double> times) {
    TMarkerList list;
    for (double t : times)
        list.append(TMarker{t, QString::number(t)});
    return list;
}

TEST(MarkerModel, MarkerExistsAtTable) {
    struct Case {
        TMarkerList markers;
        double time;
        int exclude;
        bool expected;
        const char* rule;
    };
    const Case cases[] = {
        {markersAt({1.0}), 1.00009, -1, true, "0.00009 s apart is the same time"},
        {markersAt({0.0}), 0.0001, -1, false, "0.0001 s apart is not"},
        {markersAt({1.0}), 0.99991, -1, true, "also below"},
        {markersAt({1.0}), 1.0, 0, false, "the excluded marker does not count"},
        {markersAt({1.0, 1.00005}), 1.0, 0, true, "another near marker still counts"},
        {markersAt({}), 0.0, -1, false, "empty list"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarkerExistsAt(c.markers, c.time, c.exclude), c.expected) << c.rule;
}

TEST(MarkerModel, CompareMarkerTimesTolerance) {
    EXPECT_EQ(CompareMarkerTimes(1e-13, 0.0), 0);
    EXPECT_EQ(CompareMarkerTimes(2e-12, 0.0), 1);
    EXPECT_EQ(CompareMarkerTimes(0.0, 2e-12), -1);
    // The tolerance scales with the smaller magnitude.
    EXPECT_EQ(CompareMarkerTimes(1000.0, 1000.0 + 5e-10), 0);
    EXPECT_EQ(CompareMarkerTimes(1000.0, 1000.0 + 5e-9), -1);
}

TEST(MarkerModel, SortOrdersByTimeAndKeepsEqualTimesInPlace) {
    TMarkerList list{{5.0, "x"}, {0.5, "a"}, {5.0, "y"}, {-1.0, "neg"}, {3.0, "c"}};
    SortMarkersByTime(list);
    QStringList order;
    for (const TMarker& m : list)
        order << m.Description;
    EXPECT_EQ(order, QStringList({"neg", "a", "c", "x", "y"}));
}

TEST(MarkerModel, FindClosestMarkerAtTenPixelsPerSecond) {
    const TMarkerList one = markersAt({5.0});
    const double tolerance = MarkerRules::kClickTolerancePixels / 10.0;
    for (int x : {47, 50, 53}) {
        int index = -7;
        EXPECT_TRUE(FindClosestMarker(one, x / 10.0, tolerance, index)) << x;
        EXPECT_EQ(index, 0);
    }
    for (int x : {46, 54}) {
        int index = -7;
        EXPECT_FALSE(FindClosestMarker(one, x / 10.0, tolerance, index)) << x;
        EXPECT_EQ(index, 0) << "the nearest marker is reported even when missed";
    }
}

TEST(MarkerModel, FindClosestMarkerTiesAndEmptyList) {
    int index = -7;
    EXPECT_FALSE(FindClosestMarker({}, 1.0, 1.0, index));
    EXPECT_EQ(index, -7) << "an empty list leaves the index alone";

    const TMarkerList two = markersAt({1.0, 2.0});
    EXPECT_TRUE(FindClosestMarker(two, 1.5, 1.0, index));
    EXPECT_EQ(index, 0) << "equal distances: the lower index wins";
    EXPECT_TRUE(FindClosestMarker(two, 1.5001, 1.0, index));
    EXPECT_EQ(index, 1);
}

TEST(MarkerModel, ChangedLook) {
    const MarkersChangedLook changed = MarkersChangedLookFor(true);
    EXPECT_EQ(changed.caption, QString("MARKERS\rNOT SAVED"));
    EXPECT_EQ(changed.colour, QColor(255, 0, 0));
    EXPECT_TRUE(changed.saveEnabled);
    const MarkersChangedLook saved = MarkersChangedLookFor(false);
    EXPECT_EQ(saved.caption, QString("MARKERS\rSAVED"));
    EXPECT_EQ(saved.colour, QColor(222, 230, 187));
    EXPECT_FALSE(saved.saveEnabled);
}

}  // namespace
