#include "timeline/MarkerNavigation.h"

#include <gtest/gtest.h>

namespace {

TMarkerList markersAt(std::initializer_list<double> times) {
    TMarkerList list;
    for (double t : times)
        list.append({t, QString()});
    return list;
}

TEST(MarkerNavigation, NearestMarkerTable) {
    struct Case {
        std::initializer_list<double> times;
        double position;
        int expected;
    };
    const Case cases[] = {
        {{10.0, 20.0}, 15.0, 0},      // equal distance: the first in the list
        {{20.0, 10.0}, 15.0, 0},      // list order decides, not time order
        {{10.0, 20.0}, 16.0, 1},
        {{10.0, 20.0}, 5000.0, 1},    // no distance limit
        {{}, 3.0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NearestMarkerIndex(markersAt(c.times), c.position), c.expected)
            << "position " << c.position;
}

TEST(MarkerNavigation, NextMarkerTable) {
    struct Case {
        const char* rule;
        std::initializer_list<double> times;
        double position;
        double duration;
        int expected;
    };
    const Case cases[] = {
        {"on a marker goes to the following one", {5.0, 10.0, 20.0}, 10.0, 60.0, 2},
        {"skips a marker within 1 ms after", {5.0, 10.0005, 20.0}, 10.0, 60.0, 2},
        {"takes a marker just over 1 ms after", {5.0, 10.0011, 20.0}, 10.0, 60.0, 1},
        {"after the last marker finds none", {5.0, 10.0}, 12.0, 60.0, -1},
        {"a marker at the duration is not a target", {5.0, 60.0}, 12.0, 60.0, -1},
        {"unsorted list still finds the earliest later one", {30.0, 20.0, 5.0}, 10.0, 60.0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextMarkerStep(markersAt(c.times), c.position, c.duration).index, c.expected)
            << c.rule;
}

TEST(MarkerNavigation, PreviousMarkerTable) {
    struct Case {
        const char* rule;
        std::initializer_list<double> times;
        double position;
        int expected;
    };
    const Case cases[] = {
        {"goes to the latest earlier marker", {1.0, 5.0, 9.0}, 8.0, 1},
        {"never reaches a marker at 0 s", {0.0, 5.0}, 3.0, -1},
        {"skips a marker within 0.1 ms before", {2.0, 4.99995}, 5.0, 0},
        {"takes a marker just over 0.1 ms before", {2.0, 4.9998}, 5.0, 1},
        {"on a marker goes to the one before", {2.0, 5.0}, 5.0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviousMarkerStep(markersAt(c.times), c.position).index, c.expected) << c.rule;
}

TEST(MarkerNavigation, RowTimeMatchesLastMarkerWithinTenMilliseconds) {
    const TMarkerList list = markersAt({1.0, 2.004, 2.0, 3.0});
    EXPECT_EQ(LastMarkerNearTime(list, 2.0), 2);      // searched from the end
    EXPECT_EQ(LastMarkerNearTime(list, 2.009), 2);
    EXPECT_EQ(LastMarkerNearTime(list, 2.013), 1);    // only 2.004 is within 0.01
    EXPECT_EQ(LastMarkerNearTime(list, 2.5), -1);
}

}  // namespace
