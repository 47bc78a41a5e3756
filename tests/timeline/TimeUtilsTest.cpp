#include "platform/AppError.h"
#include "timeline/TimeUtils.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    double seconds;
    const char* longForm;
    const char* shortForm;
};

TEST(TimeUtils, SecondsToTimeStrFormsTable) {
    const FormatCase cases[] = {
        {0.0, "00:00:00.000", "00:00:00"},
        {83.456, "00:01:23.456", "00:01:23"},
        {3725.5, "01:02:05.500", "01:02:05"},
        {12.9996, "00:00:13.000", "00:00:12"},   // millis carry, short form truncates
        {59.9996, "00:01:00.000", "00:00:59"},
        {0.0015, "00:00:00.002", "00:00:00"},    // exact half: ties to even
        {0.0025, "00:00:00.002", "00:00:00"},
        {360000.0, "100:00:00.000", "100:00:00"},  // hours do not wrap at 24
        {-1.5, "-00:00:01.500", "-00:00:01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SecondsToTimeStr(c.seconds, true), QString(c.longForm)) << c.seconds;
        EXPECT_EQ(SecondsToTimeStr(c.seconds, false), QString(c.shortForm)) << c.seconds;
    }
}

TEST(TimeUtils, TimeStrToSecondsAcceptsTable) {
    const std::pair<const char*, double> cases[] = {
        {"1:2:3.4", 3723.004},
        {"00:75:99.000", 4599.0},   // ranges are not checked
        {"00:00:12.5", 12.005},     // milliseconds are a count, not a fraction
        {"00:00:12.1000", 13.0},
        {"01:02:05.500", 3725.5},
        {"999999:00:00.000", 3599996400.0},  // no 32-bit wrap
    };
    for (const auto& [text, seconds] : cases)
        EXPECT_DOUBLE_EQ(TimeStrToSeconds(text), seconds) << text;
}

TEST(TimeUtils, TimeStrToSecondsErrorsInCheckOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"01:23.456", "Time format must be hh:nn:ss.zzz"},
        {"12", "Time format must be hh:nn:ss.zzz"},   // no ":" and no "." reports the first
        {"1:2:3:4.5", "Time format must be hh:nn:ss.zzz"},
        {"00:01:23", "Seconds must include milliseconds, like ss.zzz"},
        {"00:01:23.4.5", "Seconds must include milliseconds, like ss.zzz"},
        {"00:-1:00.000", "Invalid time components"},
        {"00::00.000", "Invalid time components"},
        {"00:00:00.", "Invalid time components"},
        {"0a:00:00.000", "Invalid time components"},
        {"-00:00:01.500", "Invalid time components"},
        {"99999999999:00:00.000", "Invalid time components"},
    };
    for (const auto& [text, message] : cases) {
        try {
            TimeStrToSeconds(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), QString(message)) << text;
        }
    }
}

TEST(TimeUtils, LongFormParsesBackToTheNearestMillisecond) {
    for (double t : {0.0, 0.0004, 1.2345, 59.9996, 83.456, 3599.9994, 7322.1119, 86400.5}) {
        const double back = TimeStrToSeconds(SecondsToTimeStr(t, true));
        EXPECT_NEAR(back, std::nearbyint(t * 1000) / 1000, 1e-9) << t;
    }
}

TEST(TimeUtils, RoundHalfEvenTiesToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
}

}  // namespace
