#pragma once

#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

// A top-level window's frame as the window system has it, and the screen the framed window is
// on: the one rule for the main window's stored place and for every dialog placed beside it.
namespace WindowFrame
{

// The frame's thickness on each side as the window system reports it now. A window manager
// frames a window only after it is shown, so before that (and without a window manager) it is
// none. Asked of the window system itself: the widget's own copy is refreshed only when the
// window moves or changes size, which a window manager's framing need not cause.
QMargins margins(const QWidget *window);

// The window's rectangle with its frame.
QRect outer(const QWidget *window);

// The screen a rectangle with frame lands on (landingScreen): the one it overlaps most, else
// the nearest; null when there is none at all.
QScreen *screenOf(const QRect &outer);

} // namespace WindowFrame
