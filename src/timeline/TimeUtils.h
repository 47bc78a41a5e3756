#pragma once
// Time text: seconds to "hh:nn:ss.zzz" / "hh:nn:ss" and back. The separators
// are always ":" and ".", whatever the user's regional settings.

#include <QString>
#include <QtGlobal>

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). Every
// time-to-pixel conversion of the player rounds this way.
qint64 RoundHalfEven(double value);

// "hh:nn:ss.zzz" when withMilliseconds, else "hh:nn:ss". Hours do not wrap at
// 24. The short form drops the fraction; the long form rounds it to whole
// milliseconds (12.9996 s reads 00:00:13.000). A negative time is written as
// "-" followed by the text of its absolute value. Never fails.
QString SecondsToTimeStr(double seconds, bool withMilliseconds);

// Reads "h:n:s.z" (pieces of plain decimal digits, any count of digits) into
// seconds. The millisecond piece counts milliseconds: "00:00:12.5" is 12.005 s.
// Ranges are not checked ("00:75:99.000" is 4599 s). Throws AppError with
// "Time format must be hh:nn:ss.zzz", "Seconds must include milliseconds,
// like ss.zzz" or "Invalid time components", checked in that order.
double TimeStrToSeconds(const QString& text);
