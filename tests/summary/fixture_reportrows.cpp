#include "fixture_reportrows.h"

#include "pipeline/ReportReader.h"

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
    ReportRows rows;
    if (ReportReader::load(path, &rows) != ReportReader::ReadResult::Ok)
        rows.clear();
    return rows;
}
