#include "about/Credits.h"

#include "LumoskopVersion.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace Credits
{

QStringList CreditLines(const QString &programName)
{
    const QString version = QStringLiteral("Version: %1.%2.%3")
                                .arg(LumoskopVersion::Major)
                                .arg(LumoskopVersion::Minor)
                                .arg(LumoskopVersion::Revision);
    return {
        QStringLiteral("Q w e r i n"),
        QString(),
        QStringLiteral("presents..."),
        QString(),
        QString(),
        programName,
        QString(),
        version,
        QString(),
        QStringLiteral("*"),
        QString(),
        QStringLiteral("Developer"),
        QString(),
        QStringLiteral("L u m o s k o p   T e a m"),
        QString(),
        QString(),
        QString(),
        QString(),
        QStringLiteral("- - -"),
        QString(),
    };
}

void PrintCenter(QPainter &target, qreal innerWidth, qreal &currentY, const QString &text)
{
    const QFontMetricsF metrics(target.font(), target.device());
    const qreal x = (innerWidth - metrics.horizontalAdvance(text)) / 2;
    if (!text.isEmpty())
        target.drawText(QPointF(x, currentY + metrics.ascent()), text);
    currentY += metrics.height();
}

namespace
{
// Metrics of the device the strip is drawn on, not of the screen, so that the strip's
// height and the text drawn into it always agree.
QImage metricsDevice()
{
    return QImage(1, 1, QImage::Format_RGB32);
}
} // namespace

int LineHeight(const QFont &font)
{
    const QImage device = metricsDevice();
    return int(std::ceil(QFontMetricsF(font, &device).height()));
}

QImage DrawCreditStrip(const QStringList &lines, const QFont &font, int width, const QColor &back, const QColor &fore,
                       qreal devicePixelRatio)
{
    const int height = LineHeight(font) * int(lines.size());
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage strip(QSize(int(std::ceil(width * ratio)), int(std::ceil(height * ratio))).expandedTo(QSize(1, 1)),
                 QImage::Format_RGB32);
    strip.setDevicePixelRatio(ratio);
    strip.fill(back);

    QPainter painter(&strip);
    painter.setFont(font);
    painter.setPen(fore);
    qreal y = 0;
    for (const QString &line : lines) {
        PrintCenter(painter, width, y, line);
        // Whole-pixel lines, as LineHeight promised the strip's height.
        y = std::ceil(y);
    }
    return strip;
}

Step NextStripTop(int top, int height, int viewportHeight)
{
    if (top + height > 0)
        return {false, top - ScrollStep};
    return {true, viewportHeight};
}

} // namespace Credits
