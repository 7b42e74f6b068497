#pragma once

#include "pipeline/ReportRow.h"

#include <QList>
#include <QString>

// Copied rows as text: name, tab, value, CR LF for every row, the last included. Nothing is
// trimmed, so the names keep ExifTool's padding and the values their leading blank.
QString clipboardText(const ReportRows &rowsInListOrder);

// Only the rows at listRows, in list order whatever order the indices come in; each row once,
// indices outside the list are ignored.
QString clipboardText(const ReportRows &rowsInListOrder, const QList<int> &listRows);
