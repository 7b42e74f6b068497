// Extreme numbers through the dialogs' arithmetic: where PlaceForm puts a window, and how the
// message box sizes, styles and colours itself. Windows and monitors are any rectangles a
// QRect can hold, offsets and styles any 32-bit number.
#include "FuzzCheck.h"

#include "dialogs/MsgTamuRules.h"
#include "dialogs/modFormUtils.h"

#include <QVariant>

#include <climits>
#include <cstdint>
#include <cstring>

namespace
{

// The input as little-endian 32-bit numbers from the front; zeros once it runs out.
class Numbers
{
public:
    Numbers(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    int next()
    {
        uint32_t n = 0;
        for (int i = 0; i < 4 && m_pos < m_size; ++i, ++m_pos)
            n |= uint32_t(m_data[m_pos]) << (8 * i);
        int result;
        std::memcpy(&result, &n, sizeof result);
        return result;
    }
    QString rest() const
    {
        const size_t pos = std::min(m_pos, m_size);
        return QString::fromLatin1(reinterpret_cast<const char *>(m_data + pos), qsizetype(m_size - pos));
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A rectangle of any place and non-negative size whose edges and width QRect can hold: its
// own constructor and width() would overflow otherwise, before our code is reached.
int fittingExtent(int origin, int extent)
{
    qint64 size = qMin<qint64>(extent < 0 ? -qint64(extent) : extent, INT_MAX);
    size = qMin<qint64>(size, qint64(INT_MAX) - origin + 1);
    if (size == 0 && origin == INT_MIN)
        size = 1;
    return int(size);
}

QRect rectangle(int left, int top, int width, int height)
{
    const int w = fittingExtent(left, width);
    const int h = fittingExtent(top, height);
    return QRect(QPoint(left, top), QPoint(int(qint64(left) + w - 1), int(qint64(top) + h - 1)));
}

void checkPlacement(Numbers &n)
{
    const QSize moved(n.next(), n.next());
    const QRect reference = rectangle(n.next(), n.next(), n.next(), n.next());
    const int offset = n.next();
    const QRect area = rectangle(n.next(), n.next(), n.next(), n.next());
    static const char *const modes[] = {"right", "left", "below", "above", "center", "CENTER", "Below"};
    const int pick = n.next();
    const QString mode = (pick & 7) < 7 ? QString::fromLatin1(modes[pick & 7]) : n.rest();

    const QPoint p = placeFormPosition(moved, reference, mode, offset, area);
    const qint64 right = qint64(area.left()) + area.width();
    const qint64 bottom = qint64(area.top()) + area.height();
    // A window that fits lies wholly inside the area; one that does not is aligned to the
    // right or bottom edge.
    if (moved.width() >= 0 && moved.width() <= area.width())
        FUZZ_CHECK(p.x() >= area.left() && qint64(p.x()) + moved.width() <= right);
    if (moved.height() >= 0 && moved.height() <= area.height())
        FUZZ_CHECK(p.y() >= area.top() && qint64(p.y()) + moved.height() <= bottom);
    if (moved.width() > area.width() && right - moved.width() >= INT_MIN)
        FUZZ_CHECK(qint64(p.x()) == right - moved.width());

    // Centring ignores the offset.
    if (mode.compare(QLatin1String("center"), Qt::CaseInsensitive) == 0)
        FUZZ_CHECK(placeFormPosition(moved, reference, mode, offset ^ 0x5a5a, area) == p);

    const QPoint kept = keepInsideWorkArea(QPoint(n.next(), n.next()), moved, area);
    if (moved.width() >= 0 && moved.width() <= area.width())
        FUZZ_CHECK(kept.x() >= area.left() && qint64(kept.x()) + moved.width() <= right);

    // A screen's size is never negative.
    const QSize screen(fittingExtent(0, moved.width()), fittingExtent(0, moved.height()));
    const QRect work = placeFormWorkArea(area, screen);
    FUZZ_CHECK(area.isValid() ? work == area : work == QRect(QPoint(0, 0), screen));
}

void checkMessageBox(Numbers &n)
{
    using namespace MsgTamuRules;
    const int styleNumber = n.next();
    const Style s = style(styleNumber);
    FUZZ_CHECK(!s.buttons.isEmpty());
    for (qsizetype i = 0; i < s.buttons.size(); ++i) {
        FUZZ_CHECK(s.buttons[i] >= 0 && s.buttons[i] < ButtonCount);
        FUZZ_CHECK(i == 0 || s.buttons[i - 1] < s.buttons[i]);
    }
    FUZZ_CHECK(int(s.icon) == ((s.rest >= 1 && s.rest <= 4) ? s.rest : 0));
    FUZZ_CHECK(s.sound == soundForRest(s.rest));

    const int lines = n.next();
    const int needed = neededTextHeight(qreal(lines) / 64);
    FUZZ_CHECK(needed >= 0 && needed % 15 == 0 && needed <= 7700 + 2 * 15);
    const Size size = sizeFor(lines);
    FUZZ_CHECK(size.textHeight >= 900 && size.textHeight <= 7700);
    FUZZ_CHECK(size.windowHeight >= DesignedWindowHeight && size.windowHeight > size.textHeight);
    FUZZ_CHECK(size.textWidth > 0 && size.textWidth < size.windowWidth);
    FUZZ_CHECK(size.stripWidth <= size.windowWidth);
    // More lines never make a smaller box.
    if (lines < INT_MAX) {
        const Size bigger = sizeFor(lines + 1);
        FUZZ_CHECK(bigger.windowHeight >= size.windowHeight && bigger.windowWidth >= size.windowWidth);
    }

    const int requested = n.next();
    const int chosen = defaultButton(requested, s.buttons);
    FUZZ_CHECK(chosen == -1 || (chosen == requested && s.buttons.contains(chosen)));
    const ButtonSpec &b = button(requested);
    FUZZ_CHECK(b.caption && b.result && b.width > 0);

    const QString text = n.rest();
    for (const QVariant &argument : {QVariant(text), QVariant(qint64(requested) * 4099), QVariant(lines)}) {
        const quint32 c = colour(argument, DefaultBackColour);
        FUZZ_CHECK(c <= 0xFFFFFF);
    }
    const QString shown = displayText(text);
    FUZZ_CHECK(!shown.contains(QLatin1Char('\r')) && shown.size() <= text.size());

    Countdown countdown(text, requested);
    FUZZ_CHECK(countdown.active() == (requested >= 2));
    if (countdown.active()) {
        FUZZ_CHECK(countdown.caption().endsWith(QLatin1Char(')')));
        countdown.tick();
        FUZZ_CHECK(countdown.secondsLeft() == requested - 1);
    } else {
        FUZZ_CHECK(!countdown.tick() && countdown.caption() == text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Numbers numbers(data, size);
    checkPlacement(numbers);
    checkMessageBox(numbers);
    return 0;
}
