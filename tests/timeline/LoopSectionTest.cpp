#include "timeline/LoopSection.h"

#include <gtest/gtest.h>

namespace {

TMarkerList markersAt(std::initializer_list<double> times) {
    TMarkerList list;
    for (double t : times)
        list.append(TMarker{t, QString()});
    return list;
}

TEST(LoopSection, SectionAroundThePlayHead) {
    struct Case {
        const char* what;
        std::initializer_list<double> markers;
        double position;
        LoopSection expected;
    };
    const Case cases[] = {
        {"between two markers", {10, 20, 30}, 15, {10, 20, true, true}},
        {"unsorted markers", {30, 10, 20}, 25, {20, 30, true, true}},
        {"none before: from the start", {10, 20}, 4, {0, 10, false, true}},
        {"none after: to the end", {10, 20}, 25, {20, 60, true, false}},
        {"no markers: the whole track", {}, 25, {0, 60, false, false}},
        {"a marker exactly at the play head starts the section", {10, 20}, 10, {10, 20, true, true}},
        {"a marker at the track's end is not past it", {10, 60}, 30, {10, 60, true, false}},
        {"at the start, with a marker there", {0, 20}, 0, {0, 20, true, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SectionAround(markersAt(c.markers), c.position, 60), c.expected) << c.what;
}

TEST(LoopSection, BoundsFollowTheirMarkers) {
    const LoopSection loop{10, 20, true, true};
    struct Case {
        const char* what;
        LoopSection loop;
        double from, to;
        std::optional<LoopSection> expected;
    };
    const Case cases[] = {
        {"start marker moved", loop, 10, 12, LoopSection{12, 20, true, true}},
        {"end marker moved", loop, 20, 25, LoopSection{10, 25, true, true}},
        {"another marker moved", loop, 30, 15, loop},
        {"start dragged past the end", loop, 10, 24, LoopSection{20, 24, true, true}},
        {"the track's start is no marker", {0, 20, false, true}, 0, 5, LoopSection{0, 20, false, true}},
        {"end dragged onto the start", {10, 20, false, true}, 20, 10, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoopAfterMarkerMove(c.loop, c.from, c.to), c.expected) << c.what;
}

TEST(LoopSection, EndsWhenOneOfItsMarkersIsGone) {
    const LoopSection loop{10, 20, true, false};
    EXPECT_TRUE(LoopMarkersExist(loop, markersAt({5, 10})));
    EXPECT_FALSE(LoopMarkersExist(loop, markersAt({5, 10.001})));
    EXPECT_TRUE(LoopMarkersExist(LoopSection{0, 60, false, false}, {}));
}

}  // namespace
