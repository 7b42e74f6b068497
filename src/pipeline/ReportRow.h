#pragma once

#include <QList>
#include <QString>

// One line of ExifTool's grouped text report as the list shows it.
// Group names as small numbers: a report has a few dozen groups and up to millions of rows, and
// a number in the row's spare bytes keeps every row as small and as quick to sort as a row
// without its group. The same name always gets the same number, 0 the empty name.
namespace ReportGroups
{
quint32 id(const QString &name);
QString name(quint32 id);
} // namespace ReportGroups

struct ReportRow {
    QString name;  // text before the line's first colon, untrimmed; carried over on header lines
    QString value; // text after that colon, untrimmed; the whole line when it has no colon
    bool bold = false;
    bool header = false; // the report line had no colon (a group header such as "---- IFD0 ----")
    // The family-1 group the line belongs to ("IFD0", "XMP-dc" …): the name inside the nearest
    // "---- Name ----" line at or above it, empty above the first one. Set once by the reader.
    quint32 groupId = 0;
    QString group() const { return ReportGroups::name(groupId); }
};

using ReportRows = QList<ReportRow>;

// "---- ExifIFD ----" -> "ExifIFD"; empty for a line of any other shape (a colon, a missing
// frame, nothing between the frames). The one rule by which the program knows a group header.
QString groupOfHeaderLine(const QString &line);
