#include "about/Border3D.h"

#include "controls/Twips.h"

#include <QPainter>

QVector<BorderLine> Border3D(const QRect &aimControl, int dicke, bool setIn)
{
    QVector<BorderLine> lines;
    if (dicke < 1)
        return lines;
    const int left = aimControl.left() - dicke;
    const int top = aimControl.top() - dicke;
    const int width = aimControl.width() + 2 * dicke;
    const int height = aimControl.height() + 2 * dicke;
    const quint32 first = setIn ? BorderDark : BorderLight;
    const quint32 second = setIn ? BorderLight : BorderDark;

    lines.reserve(4 * dicke);
    for (int i = 0; i < dicke; ++i) {
        const QPoint corner(left + i, top + i);
        lines.append({first, QPoint(left + width - 2 - i, top + i), corner});
        lines.append({first, corner, QPoint(left + i, top + height - 1 - i)});
    }
    for (int i = 0; i < dicke; ++i) {
        const QPoint corner(left + width - 1 - i, top + height - 1 - i);
        lines.append({second, QPoint(left + 1 + i, top + height - 1 - i), corner});
        lines.append({second, corner, QPoint(left + width - 1 - i, top + i)});
    }
    return lines;
}

namespace
{
// The pixels from `a` towards `b` on one axis, `b` excluded: first pixel and count.
std::pair<int, int> span(int a, int b)
{
    if (b > a)
        return {a, b - a};
    return {b + 1, a - b};
}
} // namespace

void DrawBorderLines(QPainter &painter, const QVector<BorderLine> &lines)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const BorderLine &line : lines) {
        const QColor colour = vbColour(line.colour);
        if (line.from.y() == line.to.y()) {
            const auto [x, count] = span(line.from.x(), line.to.x());
            painter.fillRect(QRect(x, line.from.y(), count, 1), colour);
        } else if (line.from.x() == line.to.x()) {
            const auto [y, count] = span(line.from.y(), line.to.y());
            painter.fillRect(QRect(line.from.x(), y, 1, count), colour);
        } else {
            // Never produced by Border3D; drawn plainly so that no stroke is lost.
            painter.setPen(QPen(colour, 1));
            painter.drawLine(line.from, line.to);
        }
    }
    painter.restore();
}
