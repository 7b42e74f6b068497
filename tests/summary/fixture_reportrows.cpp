#include "fixture_reportrows.h"

#include <QFile>

ReportRows rowsFromLines(const QStringList &lines)
{
    ReportRows rows;
    QString name;
    for (const QString &line : lines) {
        ReportRow row;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            name = line.left(colon);
            row.value = line.mid(colon + 1);
        } else {
            row.value = line;
            row.header = true;
        }
        row.name = name;
        rows.append(row);
    }
    return rows;
}

QString tagLine(const QString &name, const QString &value)
{
    return name.leftJustified(32, QLatin1Char(' ')) + QStringLiteral(": ") + value;
}

ReportRows readReportFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReportRows();
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return rowsFromLines(lines);
}
