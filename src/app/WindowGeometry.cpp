#include "app/WindowGeometry.h"

#include "app/SettingsStore.h"
#include "controls/Twips.h"

#include <cmath>
#include <limits>

namespace
{
// Beyond this a stored number is no window edge at all (and would overflow the pixel type).
constexpr double MaxTwips = 1e7;

std::optional<int> edge(const SettingsStore &store, const char *key, double defaultValue)
{
    const auto v = store.readSingle(QLatin1String(key), defaultValue);
    if (!v || std::fabs(*v) >= MaxTwips)
        return std::nullopt;
    return int(*v);
}

std::optional<int> extent(const SettingsStore &store, const char *key, double defaultValue)
{
    const auto v = edge(store, key, defaultValue);
    if (!v || Twips::toPx(*v) < 1)
        return std::nullopt;
    return v;
}

// Distance between two rectangles, 0 when they touch or overlap.
qint64 gap(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max<qint64>({0, qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy = std::max<qint64>({0, qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}
} // namespace

void WindowGeometry::read(const SettingsStore &store, const QRect &fallback)
{
    using S = SettingsStore;
    m_top = edge(store, S::ExiftoolTop, S::DefaultTop);
    m_left = edge(store, S::ExiftoolLeft, S::DefaultLeft);
    m_height = extent(store, S::ExiftoolHeight, S::DefaultHeight);
    m_width = extent(store, S::ExiftoolWidth, S::DefaultWidth);
    m_outer =
        QRect(m_left ? Twips::toPx(*m_left) : fallback.left(), m_top ? Twips::toPx(*m_top) : fallback.top(),
              Twips::toPx(m_width.value_or(DesignedOuterWidth)), Twips::toPx(m_height.value_or(DesignedOuterHeight)));
}

void WindowGeometry::write(SettingsStore &store, const QRect &outer) const
{
    using S = SettingsStore;
    store.WriteSetting(QLatin1String(S::ExiftoolTop), S::fromSingle(keptTwips(m_top, outer.top())));
    store.WriteSetting(QLatin1String(S::ExiftoolLeft), S::fromSingle(keptTwips(m_left, outer.left())));
    store.WriteSetting(QLatin1String(S::ExiftoolHeight), S::fromSingle(keptTwips(m_height, outer.height())));
    store.WriteSetting(QLatin1String(S::ExiftoolWidth), S::fromSingle(keptTwips(m_width, outer.width())));
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

int WindowGeometry::landingScreen(const QRect &outer, const QList<QRect> &screens)
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

QRect WindowGeometry::fitOnScreens(const QRect &outer, const QList<QRect> &screens, const QList<QRect> &available)
{
    const int screen = landingScreen(outer, screens);
    if (screen < 0 || screen >= available.size())
        return outer;
    return fitInto(outer, available[screen]);
}
