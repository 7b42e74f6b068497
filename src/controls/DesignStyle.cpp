#include "controls/DesignStyle.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace
{

// One of the base style's standard icons, read from the toolkit's PNG files only when it is first
// drawn. Reading the first PNG makes the toolkit load every image-format plugin (it asks each one
// whether it reads the file), which cost the main window a good part of its building, for a clear
// button that shows only once text is typed and a menu bar button that shows only when the menus
// do not fit.
class StandardIconWhenDrawn : public QIconEngine
{
public:
    StandardIconWhenDrawn(QStyle *base, QStyle::StandardPixmap which, Qt::LayoutDirection direction)
        : m_base(base), m_which(which), m_direction(direction)
    {
    }

    QIconEngine *clone() const override { return new StandardIconWhenDrawn(m_base, m_which, m_direction); }
    QString key() const override { return QStringLiteral("LumoskopStandardIconWhenDrawn"); }
    bool isNull() override { return m_base.isNull(); }

    // Sizes are device pixels here: the icon has scaled them by the screen's ratio already.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().availableSizes(mode, state);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

private:
    const QIcon &loaded()
    {
        if (m_icon.isNull() && m_base) {
            QStyleOption option;
            option.direction = m_direction;
            m_icon = m_base->standardIcon(m_which, &option);
        }
        return m_icon;
    }

    QPointer<QStyle> m_base;
    QStyle::StandardPixmap m_which;
    Qt::LayoutDirection m_direction;
    QIcon m_icon;
};

} // namespace

// Fusion underneath on every desktop: the fixed layout is measured against one style, not
// against whichever style a desktop names.
DesignStyle::DesignStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

int DesignStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return IndicatorSize;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return LabelSpacing;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QIcon DesignStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    switch (standardIcon) {
    case SP_LineEditClearButton:
    case SP_ToolBarHorizontalExtensionButton:
    case SP_ToolBarVerticalExtensionButton: {
        Qt::LayoutDirection direction = QGuiApplication::layoutDirection();
        if (option)
            direction = option->direction;
        else if (widget)
            direction = widget->layoutDirection();
        return QIcon(new StandardIconWhenDrawn(baseStyle(), standardIcon, direction));
    }
    default:
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
}
