#include "pipeline/GeoPosition.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cmath>

namespace
{

// One coordinate: the signed Composite value where there is one, else the first group's
// value with the sign its reference gives.
using Listing = QHash<QString, QHash<QString, QString>>; // group -> tag -> value

std::optional<double> coordinate(const Listing &byGroup, const QStringList &groups, const QString &tag, QChar negative,
                                 double limit)
{
    QString text;
    QString reference;
    if (byGroup.value(QStringLiteral("Composite")).contains(tag)) {
        text = byGroup.value(QStringLiteral("Composite")).value(tag);
    } else {
        for (const QString &group : groups) {
            if (byGroup.value(group).contains(tag)) {
                text = byGroup.value(group).value(tag);
                reference = byGroup.value(group).value(tag + QStringLiteral("Ref"));
                break;
            }
        }
    }
    bool ok = false;
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    if (reference.compare(QString(negative), Qt::CaseInsensitive) == 0)
        value = -std::fabs(value);
    return value;
}

} // namespace

std::optional<GeoPosition> positionFromListing(const QByteArray &listing)
{
    // "[Group]  Tag  : value"; a line of any other shape is passed over.
    Listing byGroup;
    QStringList groups; // in the listing's order
    const QList<QByteArray> lines = listing.split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        const qsizetype colon = line.indexOf(QLatin1Char(':'), close + 1);
        if (!line.startsWith(QLatin1Char('[')) || close < 0 || colon < 0)
            continue;
        const QString group = line.mid(1, close - 1).trimmed();
        const QString tag = line.mid(close + 1, colon - close - 1).trimmed();
        if (!groups.contains(group))
            groups << group;
        if (!byGroup[group].contains(tag))
            byGroup[group].insert(tag, line.mid(colon + 1).trimmed());
    }
    const auto latitude = coordinate(byGroup, groups, QStringLiteral("GPSLatitude"), QLatin1Char('S'), 90);
    const auto longitude = coordinate(byGroup, groups, QStringLiteral("GPSLongitude"), QLatin1Char('W'), 180);
    if (!latitude || !longitude)
        return std::nullopt;
    return GeoPosition{*latitude, *longitude};
}
