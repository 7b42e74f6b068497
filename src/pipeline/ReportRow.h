#pragma once

#include <QList>
#include <QString>

// One line of ExifTool's grouped text report as the list shows it.
struct ReportRow {
    QString name;  // text before the line's first colon, untrimmed; carried over on header lines
    QString value; // text after that colon, untrimmed; the whole line when it has no colon
    bool bold = false;
    bool header = false; // the report line had no colon (a group header such as "---- IFD0 ----")
};

using ReportRows = QList<ReportRow>;
