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

// Puts text on the clipboard. Nothing to copy replaces nothing: the user's clipboard is not
// wiped for an empty list.
void putOnClipboard(const QString &text);
