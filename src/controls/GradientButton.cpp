#include "controls/GradientButton.h"

#include "controls/Twips.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

GradientButton::GradientButton(QWidget *parent) : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setAutoDefault(false);
}

GradientButton::GradientButton(const QString &caption, QWidget *parent) : GradientButton(parent)
{
    setText(caption);
}

void GradientButton::setGradient(quint32 top, quint32 bottom)
{
    m_top = top;
    m_bottom = bottom;
    update();
}

void GradientButton::setBorderColours(quint32 normal, quint32 hover)
{
    m_border = normal;
    m_hoverBorder = hover;
    update();
}

void GradientButton::setTextColour(quint32 colour)
{
    m_text = colour;
    update();
}

int GradientButton::captionWidth() const
{
    return text().isEmpty() ? 0 : fontMetrics().size(Qt::TextShowMnemonic, text()).width();
}

QSize GradientButton::sizeHint() const
{
    // Exactly what paintEvent() needs to show the picture and the whole caption.
    QSize s(2 * Padding + captionWidth(), fontMetrics().height() + 10);
    if (!icon().isNull())
        s.rwidth() += iconSize().width() + (text().isEmpty() ? 0 : IconGap);
    return s;
}

void GradientButton::keyPressEvent(QKeyEvent *event)
{
    // Outside a dialog a push button ignores Enter; the program's buttons press on it, as on Space.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier &&
        !isDefault()) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void GradientButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void GradientButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void GradientButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const bool pressed = isDown();
    g.setColorAt(0, vbColour(pressed ? m_bottom : m_top));
    g.setColorAt(1, vbColour(pressed ? m_top : m_bottom));
    p.fillRect(r, g);

    QPen border(vbColour(m_hovered ? m_hoverBorder : m_border));
    border.setWidth(isDefault() ? 2 : 1);
    p.setPen(border);
    p.drawRect(r.adjusted(0, 0, -1, -1));

    QRect content = r.adjusted(Padding, 2, -Padding, -2);
    if (pressed)
        content.translate(1, 1);
    if (!icon().isNull()) {
        // Picture and caption side by side, centred together.
        const QSize is = iconSize();
        const int textWidth = captionWidth();
        const int gap = text().isEmpty() ? 0 : IconGap;
        const int x = content.left() + qMax(0, (content.width() - is.width() - gap - textWidth) / 2);
        const QRect iconRect(x, content.top() + (content.height() - is.height()) / 2, is.width(), is.height());
        icon().paint(&p, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        content.setLeft(x + is.width() + gap);
        if (!text().isEmpty())
            content.setWidth(textWidth);
    }
    p.setPen(isEnabled() ? vbColour(m_text) : palette().color(QPalette::Disabled, QPalette::ButtonText));
    style()->drawItemText(&p, content, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), text());

    if (hasFocus()) {
        QStyleOptionFocusRect fr;
        fr.initFrom(this);
        fr.rect = r.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
    }
}
