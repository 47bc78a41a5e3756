#include "timeline/TimelineGeometry.h"

#include "timeline/MarkerModel.h"
#include "timeline/TimeUtils.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

double ZoomFactorOf(double exponent) { return std::pow(10.0, exponent); }

bool StepZoomIn(double& exponent) {
    if (!(exponent < TimelineZoom::kMaxExponent))
        return false;
    exponent = std::min(exponent + TimelineZoom::kExponentStep, TimelineZoom::kMaxExponent);
    return true;
}

bool StepZoomOut(double& exponent) {
    if (!(exponent > TimelineZoom::kMinExponent))
        return false;
    exponent = std::max(exponent - TimelineZoom::kExponentStep, TimelineZoom::kMinExponent);
    return true;
}

double FitZoomFactor(int viewWidth, double duration) {
    return std::min(viewWidth / duration, TimelineZoom::kMaxFactor);
}

double MarkerClickToleranceFor(double factor) {
    return MarkerRules::kClickTolerancePixels / factor;
}

QString ZoomLabelText(double factor) {
    return QStringLiteral("Zoom: ") + QLocale().toString(factor, 'f', 1);
}

int MajorTickStep(double factor) {
    return static_cast<int>(RoundHalfEven(std::pow(2.0, 7.7 - std::log2(factor + 1.0))));
}

qint64 PixelOfTime(double seconds, double factor) { return RoundHalfEven(seconds * factor); }

qint64 TimelineWidthFor(double duration, double factor) {
    return std::max<qint64>(0, PixelOfTime(duration, factor));
}

double PointerTimeAt(qint64 x, double factor, double duration) {
    return std::clamp(static_cast<double>(x) / factor, 0.0, std::max(duration, 0.0));
}

std::optional<qint64> ScrollTargetFor(qint64 x, qint64 position, int viewWidth) {
    if (x > position + viewWidth - 50 || x < position + 30)
        return std::max<qint64>(0, x - viewWidth / 8);
    return std::nullopt;
}
