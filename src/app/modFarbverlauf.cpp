#include "app/modFarbverlauf.h"

#include "controls/Twips.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>

namespace modFarbverlauf {

namespace {
// The handful of system colour indices a caller may name, mapped to the desktop's palette.
QColor systemColour(quint32 index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 5: // window background
        return pal.color(QPalette::Base);
    case 8: // window text
        return pal.color(QPalette::Text);
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 14:
        return pal.color(QPalette::HighlightedText);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 18:
        return pal.color(QPalette::ButtonText);
    default:
        return pal.color(QPalette::Window);
    }
}
} // namespace

QColor resolveColour(quint32 colour)
{
    if ((colour & 0xFF000000u) == 0x80000000u)
        return systemColour(colour & 0x00FFFFFFu);
    return vbColour(colour & 0x00FFFFFFu);
}

void FarbverlaufZeichnen(QPainter &painter, const QRect &clientRect, quint32 first, quint32 second, int direction)
{
    const QPointF end = direction == 0 ? QPointF(clientRect.right() + 1, clientRect.top())
                                       : QPointF(clientRect.left(), clientRect.bottom() + 1);
    QLinearGradient g(clientRect.topLeft(), end);
    g.setColorAt(0, resolveColour(first));
    g.setColorAt(1, resolveColour(second));
    painter.fillRect(clientRect, g);
}

} // namespace modFarbverlauf

GradientArea::GradientArea(quint32 first, quint32 second, QWidget *parent)
    : QWidget(parent), m_first(first), m_second(second)
{
}

void GradientArea::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    modFarbverlauf::FarbverlaufZeichnen(p, rect(), m_first, m_second, 1);
}

void GradientArea::resizeEvent(QResizeEvent *)
{
    emit resized();
}
