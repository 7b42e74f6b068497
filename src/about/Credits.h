#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

class QPainter;

// The credits of the about window and the arithmetic of their endless scroll, kept apart
// from the window so that they can be checked without a display.
namespace Credits
{

constexpr int LineCount = 20;
// Pixels the strip moves per tick, and the tick's interval.
constexpr int ScrollStep = 1;
constexpr int TickMs = 50;

// The twenty credit lines in order, an empty entry an empty line. Line 6 is the program
// name as stored in the settings ("" when the key is missing); line 8 the version.
QStringList CreditLines(const QString &programName);

// Prints `text` horizontally centred in a target `innerWidth` pixels wide, on the line
// starting at `currentY`, and moves `currentY` down by one line of the painter's font.
// The x position is not rounded, so odd leftovers split evenly.
void PrintCenter(QPainter &target, qreal innerWidth, qreal &currentY, const QString &text);

// The height of one printed line in `font` on a plain 96-dpi image, the device the strip
// is drawn on.
int LineHeight(const QFont &font);

// The whole credits strip, drawn once per cycle: `width` pixels wide, one line of `font`
// per credit line, text centred. `devicePixelRatio` sharpens it on dense screens; its
// size in device-independent pixels stays the same.
QImage DrawCreditStrip(const QStringList &lines, const QFont &font, int width, const QColor &back, const QColor &fore,
                       qreal devicePixelRatio = 1.0);

// One tick of the scroll. While any part of the strip (top `top`, `height` pixels) is
// still below the viewport's top edge it moves up by ScrollStep; once it has left the
// viewport the cycle restarts, with the strip just below the viewport (`viewportHeight`).
// A strip starting at s therefore moves s + height times before the restart.
struct Step {
    bool restart;
    int top;
};
Step NextStripTop(int top, int height, int viewportHeight);

} // namespace Credits
