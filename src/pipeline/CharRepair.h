#pragma once

#include "pipeline/ReportRow.h"

#include <QString>

// SONDERZEICHEN: mends characters that reach a report mis-encoded (UTF-8 read as Windows-1252,
// also when such text was stored inside the metadata itself) and the character references
// ExifTool leaves in some values.
namespace CharRepair
{

// Applies the repair table once, pair by pair in table order. A text that holds none of the
// find texts' first characters ('Ã', 'Â', 'â', '&') is returned as it is, without a copy.
QString repair(const QString &text);

// True when the text may hold a find text; false means repair() would leave it unchanged.
bool mayNeedRepair(QStringView text);

// Repairs every name and every value in place; row count, order and marks stay.
void SONDERZEICHEN(ReportRows &rows);

} // namespace CharRepair
