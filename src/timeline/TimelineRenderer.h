#pragma once
// Paints the timeline picture: white field, time scale, markers, play head.
// The picture can be far wider than any widget (a one-hour track at 320 px/s
// is 1,152,000 pixels), so the painter only ever sees the visible window:
// painter x = picture x - originX. Only the exposed part is drawn, and the
// work done depends on the exposed width, not on the track's length.

#include "timeline/TMarker.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QtGlobal>

class QPainter;
class WaveformSummary;

namespace TimelineColours {
inline const QColor Field{255, 255, 255};
inline const QColor MajorTick{0, 0, 0};
inline const QColor MinorTick{192, 192, 192};
inline const QColor Label{0, 128, 0};
inline const QColor Marker{255, 0, 0};
inline const QColor PlayHead{0, 0, 255};
inline const QColor MarkerName{128, 0, 0};
inline const QColor Waveform{214, 214, 214};
inline const QColor LoopTint{255, 200, 0, 70};
}  // namespace TimelineColours

namespace TimelineLayout {
inline constexpr int MajorTickHeight = 15;
inline constexpr int MinorTickHeight = 6;
inline constexpr int LabelTop = 16;
inline constexpr int MarkerTextTop = 35;
inline constexpr int TextGap = 2;            // text starts this far right of its line
inline constexpr int NameGap = 6;            // between a marker's time and its description
inline constexpr int MinLabelDistance = 60;  // between two scale labels, in pixels
// Free pixels a scale label leaves before the next one may start.
inline constexpr int LabelRoom = 8;
// The picture's font is designed at this character height; smaller only
// where the time texts would not fit.
inline constexpr int DesignFontPixels = 17;
inline constexpr int SmallestFontPixels = 10;
// Below this zoom factor scale labels read "hh:nn:." instead of "hh:nn:ss".
inline constexpr double ShortLabelFactor = 0.5;
}  // namespace TimelineLayout

struct TimelineScene {
    bool loaded = false;          // no file: nothing is drawn
    double zoomFactor = 10.0;     // pixels per second (painted at most 320)
    double duration = 0.0;        // seconds
    double playPosition = 0.0;    // seconds
    const TMarkerList* markers = nullptr;
    qint64 pictureWidth = 0;      // the white field's width
    int height = 0;               // the picture's height
    QFont font;                   // scale labels; marker times use it in bold
    // Each marker's description after its time text, cut off before the
    // next marker.
    bool markerNames = false;
    // The sound's level envelope under everything else; nullptr: none.
    const WaveformSummary* waveform = nullptr;
    // The looping section, tinted under the markers and the play head.
    bool loop = false;
    double loopStart = 0.0, loopEnd = 0.0;  // seconds
};

// The text under a major tick at time t.
QString ScaleLabelText(double seconds, double zoomFactor);

// Whether a scale label in font fits the layout: the widest one (any digits)
// leaves LabelRoom before the next label, and its line ends above the marker
// times, so neither covers the other.
bool TimelineFontFits(const QFont& font);
// The picture's font, measured with the installed fonts' metrics: the largest
// pixel size from DesignFontPixels down at which base's face fits, or else a
// condensed or narrow face where one is installed; the smallest size of base
// when nothing fits.
QFont FitTimelineFont(const QFont& base);

// Draws the part of the picture that falls into `exposed` (painter
// coordinates). Draws nothing when the scene is not loaded.
void RenderTimeline(QPainter& painter, const TimelineScene& scene, qint64 originX, const QRect& exposed);
