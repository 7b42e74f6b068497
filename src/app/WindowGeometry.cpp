#include "app/WindowGeometry.h"

#include "start/SettingsStore.h"
#include "controls/Twips.h"
#include "dialogs/modFormUtils.h"

#include <cmath>
#include <limits>

namespace
{
// A size under one pixel is no window's.
std::optional<int> extent(std::optional<int> twips)
{
    if (!twips || Twips::toPx(*twips) < 1)
        return std::nullopt;
    return twips;
}
} // namespace

void WindowGeometry::read(const SettingsStore &store, const QRect &fallback)
{
    m_top = store.top();
    m_left = store.left();
    m_height = extent(store.height());
    m_width = extent(store.width());
    m_outer =
        QRect(m_left ? Twips::toPx(*m_left) : fallback.left(), m_top ? Twips::toPx(*m_top) : fallback.top(),
              Twips::toPx(m_width.value_or(DesignedOuterWidth)), Twips::toPx(m_height.value_or(DesignedOuterHeight)));
}

void WindowGeometry::write(SettingsStore &store, const QRect &outer) const
{
    store.setPlacement(keptTwips(m_top, outer.top()), keptTwips(m_left, outer.left()),
                       keptTwips(m_height, outer.height()), keptTwips(m_width, outer.width()));
}

int WindowGeometry::keptTwips(std::optional<int> readTwips, int pixels)
{
    if (readTwips && Twips::toPx(*readTwips) == pixels)
        return *readTwips;
    return Twips::fromPx(pixels);
}

QRect WindowGeometry::fitInto(const QRect &outer, const QRect &available)
{
    if (available.isEmpty())
        return outer;
    QRect r(outer.topLeft(), outer.size().boundedTo(available.size()));
    if (r.right() > available.right())
        r.moveRight(available.right());
    if (r.bottom() > available.bottom())
        r.moveBottom(available.bottom());
    if (r.left() < available.left())
        r.moveLeft(available.left());
    if (r.top() < available.top())
        r.moveTop(available.top());
    return r;
}

QRect WindowGeometry::fitOnScreens(const QRect &outer, const QList<QRect> &screens, const QList<QRect> &available)
{
    const int screen = landingScreen(outer, screens);
    if (screen < 0 || screen >= available.size())
        return outer;
    return fitInto(outer, available[screen]);
}
