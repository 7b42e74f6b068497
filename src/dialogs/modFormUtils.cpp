#include "dialogs/modFormUtils.h"

#include <algorithm>
#include <climits>
#include <limits>

// Only arithmetic lives here; the widget side of PlaceForm is in PlaceForm.cpp.

QRect placeFormWorkArea(const QRect &monitorWorkArea, const QSize &wholeScreen)
{
    if (monitorWorkArea.isValid())
        return monitorWorkArea;
    return QRect(QPoint(0, 0), wholeScreen);
}

namespace
{

// Sums of window figures and offsets can pass the int range (a work area that ends at the
// largest coordinate, an offset of INT_MIN), which made the placement undefined. The
// arithmetic runs in 64 bits; a result no int can hold is pulled to the nearest one.
int saturated(qint64 value)
{
    return int(qBound(qint64(INT_MIN), value, qint64(INT_MAX)));
}

// QRect::width() is itself an int sum; the edges are not.
qint64 extent(int first, int last)
{
    return qint64(last) - first + 1;
}

QPoint keepInside(qint64 x, qint64 y, qint64 w, qint64 h, const QRect &workArea)
{
    const qint64 right = qint64(workArea.right()) + 1;
    const qint64 bottom = qint64(workArea.bottom()) + 1;
    if (x < workArea.left())
        x = workArea.left();
    if (y < workArea.top())
        y = workArea.top();
    if (x + w > right)
        x = right - w;
    if (y + h > bottom)
        y = bottom - h;
    return QPoint(saturated(x), saturated(y));
}

} // namespace

QPoint keepInsideWorkArea(const QPoint &topLeft, const QSize &size, const QRect &workArea)
{
    return keepInside(topLeft.x(), topLeft.y(), size.width(), size.height(), workArea);
}

QPoint placeFormPosition(const QSize &moved, const QRect &reference, const QString &mode, int offset,
                         const QRect &workArea)
{
    const qint64 L = reference.left();
    const qint64 T = reference.top();
    const qint64 W = extent(reference.left(), reference.right());
    const qint64 H = extent(reference.top(), reference.bottom());
    const qint64 w = moved.width();
    const qint64 h = moved.height();
    const qint64 d = offset;
    // C++ integer division already truncates towards zero, as the halving rule asks.
    const qint64 centredX = L + (W - w) / 2;
    const qint64 centredY = T + (H - h) / 2;

    const QString m = mode.toLower();
    qint64 x = centredX;
    qint64 y = centredY;
    if (m == QLatin1String("right"))
        x = L + W + d;
    else if (m == QLatin1String("left"))
        x = L - w - d;
    else if (m == QLatin1String("below"))
        y = T + H + d;
    else if (m == QLatin1String("above"))
        y = T - h - d;
    return keepInside(x, y, w, h, workArea);
}

namespace
{
// Distance between two rectangles, 0 when they touch or overlap.
qint64 gap(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max<qint64>({0, qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy = std::max<qint64>({0, qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}
} // namespace

int landingScreen(const QRect &outer, const QList<QRect> &screens)
{
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect common = outer.intersected(screens[i]);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (best >= 0)
        return best;
    qint64 nearest = std::numeric_limits<qint64>::max();
    for (int i = 0; i < screens.size(); ++i) {
        if (const qint64 d = gap(outer, screens[i]); d < nearest) {
            nearest = d;
            best = i;
        }
    }
    return best;
}
