#pragma once
// Colours as the program stores and names them: 32-bit 0x00BBGGRR, blue in
// the high byte (so clNavy is 0x800000 and clLime 0x00FF00).

#include <QColor>
#include <QtGlobal>

using TColor = quint32;

constexpr TColor clBlack = 0x000000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clWhite = 0xFFFFFF;
// The background of every window and list of the program: (62, 62, 62).
constexpr TColor clDarkBackground = 0x3E3E3E;

inline QColor ToQColor(TColor c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline TColor FromQColor(const QColor& c) {
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}
