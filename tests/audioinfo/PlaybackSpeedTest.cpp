#include "playback/PlaybackSpeed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PlaybackSpeed, StepsStayOnTheGridWithinTheLimits) {
    struct Case {
        int from, steps, expected;
    };
    const Case cases[] = {
        {100, 1, 105}, {100, -1, 95}, {55, -1, 50}, {50, -1, 50}, {195, 1, 200}, {200, 1, 200},
        {50, 30, 200}, {73, 1, 80},  // off the grid: the nearest step first
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaybackSpeed::Stepped(c.from, c.steps), c.expected) << c.from << " " << c.steps;
}

TEST(PlaybackSpeed, ValuesFromOutsideAreMadeValid) {
    struct Case {
        double percent;
        int expected;
    };
    const Case cases[] = {{100, 100}, {75, 75}, {77.4, 75}, {77.6, 80}, {10, 50}, {-5, 50},
                          {900, 200}, {NAN, 100}, {INFINITY, 100}};
    for (const Case& c : cases)
        EXPECT_EQ(PlaybackSpeed::Valid(c.percent), c.expected) << c.percent;
}

}  // namespace
