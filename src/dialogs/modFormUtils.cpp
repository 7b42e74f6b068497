#include "dialogs/modFormUtils.h"

// Only arithmetic lives here; the widget side of PlaceForm is in PlaceForm.cpp.

QRect placeFormWorkArea(const QRect &monitorWorkArea, const QSize &wholeScreen)
{
    if (monitorWorkArea.isValid())
        return monitorWorkArea;
    return QRect(QPoint(0, 0), wholeScreen);
}

QPoint keepInsideWorkArea(const QPoint &topLeft, const QSize &size, const QRect &workArea)
{
    int x = topLeft.x();
    int y = topLeft.y();
    const int right = workArea.left() + workArea.width();
    const int bottom = workArea.top() + workArea.height();
    if (x < workArea.left())
        x = workArea.left();
    if (y < workArea.top())
        y = workArea.top();
    if (x + size.width() > right)
        x = right - size.width();
    if (y + size.height() > bottom)
        y = bottom - size.height();
    return QPoint(x, y);
}

QPoint placeFormPosition(const QSize &moved, const QRect &reference, const QString &mode, int offset,
                         const QRect &workArea)
{
    const int L = reference.left();
    const int T = reference.top();
    const int W = reference.width();
    const int H = reference.height();
    const int w = moved.width();
    const int h = moved.height();
    // C++ integer division already truncates towards zero, as the halving rule asks.
    const int centredX = L + (W - w) / 2;
    const int centredY = T + (H - h) / 2;

    const QString m = mode.toLower();
    QPoint p(centredX, centredY);
    if (m == QLatin1String("right"))
        p = QPoint(L + W + offset, centredY);
    else if (m == QLatin1String("left"))
        p = QPoint(L - w - offset, centredY);
    else if (m == QLatin1String("below"))
        p = QPoint(centredX, T + H + offset);
    else if (m == QLatin1String("above"))
        p = QPoint(centredX, T - h - offset);
    return keepInsideWorkArea(p, moved, workArea);
}
