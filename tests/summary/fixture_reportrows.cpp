#include "fixture_reportrows.h"

#include "pipeline/ReportReader.h"

ReportRows rowsFromLines(const QStringList &lines)
{
    return ReportReader::parse(lines.join(QLatin1Char('\n')).toUtf8());
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
