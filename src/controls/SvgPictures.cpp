#include "controls/SvgPictures.h"

#include <QApplication>
#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

namespace
{

class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(const QString &path) : m_path(path) {}

    QIconEngine *clone() const override { return new SvgIconEngine(m_path); }
    QString key() const override { return QStringLiteral("LumoskopSvg"); }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    // Asked in device pixels: the icon scales the size by the screen's ratio before it asks.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const QString cacheKey =
            QStringLiteral("lumoskop-svg:%1:%2x%3:%4").arg(m_path).arg(size.width()).arg(size.height()).arg(int(mode));
        QPixmap drawn;
        if (QPixmapCache::find(cacheKey, &drawn))
            return drawn;
        drawn = SvgPictures::pixmap(m_path, size, 1.0);
        // Greyed out for a disabled button, as the style greys every other icon.
        if (mode != QIcon::Normal && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        QPixmapCache::insert(cacheKey, drawn);
        return drawn;
    }

private:
    QString m_path;
};

} // namespace

namespace SvgPictures
{

QPixmap pixmap(const QString &path, const QSize &size, qreal ratio)
{
    QSvgRenderer renderer(path);
    QPixmap drawn(size * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&drawn);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return drawn;
}

QIcon icon(const QString &path)
{
    return QIcon(new SvgIconEngine(path));
}

} // namespace SvgPictures
