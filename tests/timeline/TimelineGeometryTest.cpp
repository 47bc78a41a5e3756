#include "timeline/TimelineGeometry.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>

namespace {

TEST(TimelineGeometry, MajorTickStepByZoomFactor) {
    const std::pair<double, int> table[] = {
        {0.01, 206}, {0.1, 189}, {0.5, 139}, {1, 104}, {2, 69}, {5, 35}, {10, 19},
        {20, 10},    {50, 4},    {100, 2},   {125.9, 2}, {138, 1}, {158.5, 1}, {320, 1},
    };
    for (const auto& [factor, step] : table)
        EXPECT_EQ(MajorTickStep(factor), step) << factor;
}

std::vector<double> factorsWhileStepping(double exponent, bool in) {
    std::vector<double> factors;
    while (in ? StepZoomIn(exponent) : StepZoomOut(exponent))
        factors.push_back(ZoomFactorOf(exponent));
    return factors;
}

TEST(TimelineGeometry, ZoomStepsFromFactorOne) {
    const std::vector<double> in = factorsWhileStepping(0.0, true);
    ASSERT_EQ(in.size(), 26u);  // 25 steps of 0.1, then the clamp at 320
    EXPECT_NEAR(in[0], 1.26, 0.005);
    EXPECT_NEAR(in[1], 1.58, 0.005);
    EXPECT_NEAR(in[2], 2.0, 0.005);
    EXPECT_NEAR(in[3], 2.51, 0.005);
    EXPECT_NEAR(in[23], 251.2, 0.05);
    EXPECT_NEAR(in[24], 316.2, 0.05);
    EXPECT_DOUBLE_EQ(in[25], 320.0);

    const std::vector<double> out = factorsWhileStepping(0.0, false);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_NEAR(out[0], 0.79, 0.005);
    EXPECT_NEAR(out[1], 0.63, 0.005);
    EXPECT_DOUBLE_EQ(out.back(), 0.01);
}

TEST(TimelineGeometry, ZoomStepsNearTheTop) {
    double exponent = 2.0;  // factor 100
    ASSERT_TRUE(StepZoomIn(exponent));
    EXPECT_NEAR(ZoomFactorOf(exponent), 125.9, 0.05);
    EXPECT_EQ(MajorTickStep(ZoomFactorOf(exponent)), 2);
    ASSERT_TRUE(StepZoomIn(exponent));
    EXPECT_NEAR(ZoomFactorOf(exponent), 158.5, 0.05);
    EXPECT_EQ(MajorTickStep(ZoomFactorOf(exponent)), 1);

    exponent = 2.45;
    ASSERT_TRUE(StepZoomIn(exponent));
    EXPECT_DOUBLE_EQ(ZoomFactorOf(exponent), 320.0);
    EXPECT_FALSE(StepZoomIn(exponent)) << "one more in-step does nothing";
    EXPECT_DOUBLE_EQ(exponent, TimelineZoom::kMaxExponent);

    exponent = -2.0;
    EXPECT_FALSE(StepZoomOut(exponent));
    exponent = -3.0;  // a fitted very long file lies below the out limit
    EXPECT_FALSE(StepZoomOut(exponent));
    ASSERT_TRUE(StepZoomIn(exponent));
    EXPECT_NEAR(exponent, -2.9, 1e-12);
}

TEST(TimelineGeometry, ScrollBandRule) {
    // P = 1000, W = 800.
    const std::pair<qint64, std::optional<qint64>> table[] = {
        {1751, 1651}, {1750, std::nullopt}, {1029, 929}, {1030, std::nullopt},
        {5, 0},  // never left of the start
    };
    for (const auto& [x, target] : table)
        EXPECT_EQ(ScrollTargetFor(x, 1000, 800), target) << x;
    EXPECT_EQ(ScrollTargetFor(1000, 1000, 803), std::optional<qint64>(900)) << "W div 8 truncates";
}

TEST(TimelineGeometry, FitWidthAndPointerTime) {
    EXPECT_DOUBLE_EQ(FitZoomFactor(900, 2.0), 320.0) << "a 2 s file gets 320, not 450";
    EXPECT_DOUBLE_EQ(FitZoomFactor(900, 3600.0), 0.25);
    EXPECT_EQ(TimelineWidthFor(3600.0, 320.0), 1152000);
    EXPECT_EQ(TimelineWidthFor(2.5, 1.0), 2) << "ties to even";
    EXPECT_EQ(TimelineWidthFor(3.5, 1.0), 4);
    EXPECT_DOUBLE_EQ(PointerTimeAt(-30, 10.0, 60.0), 0.0);
    EXPECT_DOUBLE_EQ(PointerTimeAt(125, 10.0, 60.0), 12.5);
    EXPECT_DOUBLE_EQ(PointerTimeAt(900, 10.0, 60.0), 60.0);
    EXPECT_DOUBLE_EQ(MarkerClickToleranceFor(10.0), 0.4);
}

TEST(TimelineGeometry, ZoomLabel) {
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ZoomLabelText(10.0), QString("Zoom: 10.0"));
    EXPECT_EQ(ZoomLabelText(ZoomFactorOf(0.1)), QString("Zoom: 1.3"));
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(ZoomLabelText(1.0), QString("Zoom: 1,0")) << "the user's decimal separator";
    QLocale::setDefault(saved);
}

}  // namespace
