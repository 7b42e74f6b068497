#pragma once

#include "pipeline/ReportRow.h"

#include <QString>

// The six group buttons optExif: 0 "All" (the first row), 1 IFD0, 2 ExifIFD, 3 XMP-x,
// 4 IPTC, 5 Composite (their header rows).
namespace GroupNavigation
{

constexpr int buttonCount = 6;

// The header line a button jumps to; empty for "All" and for indices outside 0..5.
QString headerText(int index);

// The list row to jump to: 0 for "All" on a non-empty list, the first row whose value is
// the group's header line, -1 when there is none.
int targetRow(const ReportRows &rowsInListOrder, int index);

// Whether the jump stores its index under "optExif": "All" always, a group only when found.
bool storesIndex(int index, int targetRow);

} // namespace GroupNavigation
