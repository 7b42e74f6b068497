#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

class QPainter;

// One stroke of a 3-D border. Like the line statement of the classic drawing model the
// border was designed for, `to` itself is not painted: a polyline continued from there
// starts on that pixel, and the two corners where the light and dark edges meet stay
// in the back colour.
struct BorderLine {
    quint32 colour; // red in the lowest byte
    QPoint from;
    QPoint to;
};

constexpr quint32 BorderLight = 16777215; // white
constexpr quint32 BorderDark = 8421504;   // red, green and blue 128

// The strokes of a border `dicke` pixels thick drawn around `aimControl` (its rectangle in
// the window's pixels), outermost ring first: top and left edges in the first colour,
// then bottom and right edges in the second. Raised puts the light colour first, sunken
// (`setIn`) the dark one. No strokes for a thickness below 1.
QVector<BorderLine> Border3D(const QRect &aimControl, int dicke, bool setIn);

// Paints the strokes with a one-pixel pen and the copy-pen rule (the colour replaces the
// pixel); whatever falls outside the painter's device is clipped.
void DrawBorderLines(QPainter &painter, const QVector<BorderLine> &lines);
