#include "summary/MapAddress.h"

#include <QString>

#include <cmath>

namespace
{
QString degrees(double value)
{
    QString text = QString::number(value, 'f', 7);
    // A position a hair south of the equator is on it at this precision.
    if (text == QLatin1String("-0.0000000"))
        text.remove(0, 1);
    return text;
}
} // namespace

QUrl mapAddress(const GeoPosition &position)
{
    const double lat = position.latitude;
    const double lon = position.longitude;
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90 || std::fabs(lon) > 180)
        return QUrl();
    const QString la = degrees(lat);
    const QString lo = degrees(lon);
    return QUrl(QStringLiteral("https://www.openstreetmap.org/?mlat=%1&mlon=%2#map=16/%1/%2").arg(la, lo));
}
