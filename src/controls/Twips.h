#pragma once

#include <QColor>
#include <QRect>

// The window tables are drawn in twips: 15 to a device-independent pixel. Every layout
// constant keeps its twips value and is converted here, in one place.
namespace Twips {
constexpr int PerPixel = 15;
constexpr int toPx(int twips) { return twips / PerPixel; }
constexpr int fromPx(int px) { return px * PerPixel; }
inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}
} // namespace Twips

// Colours are stored as 24-bit numbers with red in the lowest byte (16050915 is red 227,
// green 234, blue 244).
inline QColor vbColour(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
