#include "timeline/TimeUtils.h"

#include "platform/AppError.h"

#include <QStringList>
#include <cmath>

qint64 RoundHalfEven(double value) {
    // nearbyint follows the default rounding mode, round-to-nearest-even.
    return static_cast<qint64>(std::nearbyint(value));
}

namespace {

// Beyond this many seconds (about 31,700 years) a time is no longer a track
// position; clamping keeps the integer conversions defined.
constexpr double kMaxSeconds = 1e12;

QString formatHms(qint64 whole) {
    return QString::asprintf("%.2lld:%.2lld:%.2lld", whole / 3600, (whole % 3600) / 60, whole % 60);
}

// A piece of a time text: plain ASCII digits, else -1 (which the caller
// reports as invalid). Values beyond 32 bits count as invalid too.
qint64 readWholeNumber(const QString& piece) {
    if (piece.isEmpty() || piece.size() > 10)
        return -1;
    qint64 value = 0;
    for (QChar c : piece) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= 0x7FFFFFFF ? value : -1;
}

}  // namespace

QString SecondsToTimeStr(double seconds, bool withMilliseconds) {
    if (!std::isfinite(seconds))
        seconds = 0.0;
    if (seconds < 0)
        return QStringLiteral("-") + SecondsToTimeStr(-seconds, withMilliseconds);
    seconds = std::min(seconds, kMaxSeconds);

    qint64 whole = static_cast<qint64>(seconds);  // truncates toward zero
    if (!withMilliseconds)
        return formatHms(whole);

    qint64 millis = RoundHalfEven((seconds - static_cast<double>(whole)) * 1000.0);
    if (millis >= 1000) {
        millis = 0;
        ++whole;
    }
    return formatHms(whole) + QString::asprintf(".%.3lld", millis);
}

double TimeStrToSeconds(const QString& text) {
    const QStringList parts = text.split(u':');
    if (parts.size() != 3)
        throw AppError(QStringLiteral("Time format must be hh:nn:ss.zzz"));
    const qint64 hours = readWholeNumber(parts[0]);
    const qint64 minutes = readWholeNumber(parts[1]);

    const QStringList secondParts = parts[2].split(u'.');
    if (secondParts.size() != 2)
        throw AppError(QStringLiteral("Seconds must include milliseconds, like ss.zzz"));
    const qint64 secs = readWholeNumber(secondParts[0]);
    const qint64 millis = readWholeNumber(secondParts[1]);

    if (hours < 0 || minutes < 0 || secs < 0 || millis < 0)
        throw AppError(QStringLiteral("Invalid time components"));
    // 64-bit sums: large hour counts must not wrap into negative times.
    return static_cast<double>(hours * 3600 + minutes * 60 + secs) + millis / 1000.0;
}
