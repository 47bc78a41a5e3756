#pragma once
// Window-free arithmetic of the timeline: zoom steps, the distance between
// major ticks, the picture's width and the auto-scroll band. A pixel X of the
// picture stands for the time X / zoom factor; a time's pixel is
// time x factor rounded half to even.

#include <QString>
#include <QtGlobal>
#include <optional>

namespace TimelineZoom {
// Pixels per second: at most 320, at least 0.01 through the zoom steps (a
// fitted very long file may lie below).
inline constexpr double kMaxFactor = 320.0;
inline constexpr double kMinExponent = -2.0;
inline constexpr double kMaxExponent = 2.5051499783199058;  // log10(320)
inline constexpr double kExponentStep = 0.1;
// At window creation: 10 pixels per second.
inline constexpr double kStartExponent = 1.0;
}  // namespace TimelineZoom

// 10 to the power exponent.
double ZoomFactorOf(double exponent);
// One zoom button step. Returns false (exponent untouched) when the exponent
// already sits at its limit; else moves it 0.1 towards the limit, clamped.
bool StepZoomIn(double& exponent);
bool StepZoomOut(double& exponent);
// The factor that fits a whole track into viewWidth pixels, at most 320.
double FitZoomFactor(int viewWidth, double duration);
// 4 pixels in seconds at this factor.
double MarkerClickToleranceFor(double factor);
// "Zoom: " and the factor with one decimal in the user's number format.
QString ZoomLabelText(double factor);

// Seconds between major ticks: 2^(7.7 - log2(factor + 1)) rounded half to
// even (about 207.94 / (factor + 1)); 1 from about 137.6 px/s up.
int MajorTickStep(double factor);
// A time's pixel on the picture.
qint64 PixelOfTime(double seconds, double factor);
// The picture's width: the whole track at this factor.
qint64 TimelineWidthFor(double duration, double factor);
// The time under pixel x, limited to 0..duration.
double PointerTimeAt(qint64 x, double factor, double duration);

// Auto-scroll band: x may move freely from 30 pixels right of the view's
// left edge to 50 pixels left of its right edge. Outside that band the view
// jumps so that x sits an eighth of the width from the left edge. Returns the
// new scroll position (not yet limited to the scroll range), or nothing when
// the view stays.
std::optional<qint64> ScrollTargetFor(qint64 x, qint64 position, int viewWidth);
