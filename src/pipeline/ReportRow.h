#pragma once

#include <QList>
#include <QString>

// One line of ExifTool's grouped text report as the list shows it.
struct ReportRow {
    QString name;  // text before the line's first colon, untrimmed; carried over on header lines
    QString value; // text after that colon, untrimmed; the whole line when it has no colon
    bool bold = false;
    bool header = false; // the report line had no colon (a group header such as "---- IFD0 ----")
    // The family-1 group the line belongs to ("IFD0", "XMP-dc" …): the name inside the nearest
    // "---- Name ----" line at or above it, empty above the first one. Set once by the reader.
    QString group;
};

using ReportRows = QList<ReportRow>;

// "---- ExifIFD ----" -> "ExifIFD"; empty for a line of any other shape (a colon, a missing
// frame, nothing between the frames). The one rule by which the program knows a group header.
QString groupOfHeaderLine(const QString &line);
