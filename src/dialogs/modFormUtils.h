#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// Where a dialog goes relative to the window it belongs to. The arithmetic is in whole
// pixels over plain rectangles, so it can be checked without a screen.

// The working rectangle: the monitor's work area when the monitor could be asked, else the
// whole screen from 0, 0.
QRect placeFormWorkArea(const QRect &monitorWorkArea, const QSize &wholeScreen);

// Pulls a window of the given size back inside the work area, left edge first, then top,
// then right, then bottom: a window larger than the area ends up aligned to its right or
// bottom edge and sticks out on the left or top.
QPoint keepInsideWorkArea(const QPoint &topLeft, const QSize &size, const QRect &workArea);

// Top-left corner for a window of size `moved` next to, or centred over, `reference`.
// Modes "right", "left", "below", "above", "center" (any case); anything else centres and
// the offset is then unused. Halves drop the fraction towards zero.
QPoint placeFormPosition(const QSize &moved, const QRect &reference, const QString &mode, int offset,
                         const QRect &workArea);

// The screen a window's outer rectangle lands on, by index into `screens` (their whole areas):
// the one it overlaps most, else the nearest one; -1 when there is no screen.
int landingScreen(const QRect &outer, const QList<QRect> &screens);

// Moves `form` (frame included) by the rules above within the work area of the monitor that
// `reference` lies on. Neither activates the form nor changes its stacking. Without a
// reference the form is centred on the primary screen's work area.
void PlaceForm(QWidget *form, QWidget *reference, const QString &mode, int offset);

// Pulls `form` back inside the work area of `reference`'s monitor after it has grown, keeping
// its place otherwise.
void keepFormInside(QWidget *form, QWidget *reference);

// The work area of the monitor `reference` lies on (nearest monitor), with the whole-screen
// fall-back; an empty rectangle where no screen exists at all.
QRect placeFormScreenWorkArea(QWidget *reference);
