#pragma once

#include <QList>
#include <QRect>
#include <optional>

class SettingsStore;

// The main window's stored place and size: the OUTER rectangle (frame, caption and menu bar
// included) in twips under "ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth".
// Plain arithmetic over rectangles in device-independent pixels, so it is checked without a
// display; OuterGeometry applies the result to a real window.
class WindowGeometry
{
public:
    // The designed outer size, also the defaults of the height and width keys.
    static constexpr int DesignedOuterWidth = 10920;
    static constexpr int DesignedOuterHeight = 12360;

    // Reads the four keys. A value that does not convert, or a size that is not positive, is
    // skipped: that edge stays as in `fallback` (the window's own place before anything was
    // applied, in pixels) and that size at the designed outer size.
    void read(const SettingsStore &store, const QRect &fallback);
    // The outer rectangle read, in pixels.
    QRect outer() const { return m_outer; }

    // Writes the four keys for `outer` (pixels), in the order top, left, height, width.
    void write(SettingsStore &store, const QRect &outer) const;

    // Twips are finer than pixels: a value read that still names the same pixel is written
    // back as it was read, so an unchanged window does not creep by a few twips at each start.
    static int keptTwips(std::optional<int> readTwips, int pixels);

    // `outer` moved, and where it is larger also shrunk, so that it lies wholly inside
    // `available` (a screen's area less its panels). An empty `available` changes nothing.
    static QRect fitInto(const QRect &outer, const QRect &available);

    // fitInto() on the available area of the screen `outer` lands on (landingScreen); `screens` and
    // `available` belong together index by index.
    static QRect fitOnScreens(const QRect &outer, const QList<QRect> &screens, const QList<QRect> &available);

private:
    QRect m_outer;
    std::optional<int> m_top, m_left, m_height, m_width; // twips as read
};
