#pragma once

#include "pipeline/ReportRow.h"

#include <QString>
#include <QStringList>

// Report lines -> list rows as the reader makes them (no repair, no bold marks): the name
// before the first colon, the value after it; a line without colon is a group header that
// keeps the name of the tag line above it and holds the whole line as its value.
ReportRows rowsFromLines(const QStringList &lines);

// A tag line padded as ExifTool pads it ("Make" + blanks up to column 32, ": ", value).
QString tagLine(const QString &name, const QString &value);

// A report ExifTool wrote, read, repaired and marked as the list builder does; empty when it
// cannot be read.
ReportRows readReportFile(const QString &path);
