#pragma once

#include "pipeline/ReportRow.h"

#include <QStringList>

// The key exposure tags the list shows in bold, in ExifTool's German and English descriptions.
namespace KeyTags
{

// True when the name, with blanks removed at both ends, is one of the 54 highlighted names
// (exact case: "Lens" is, "Lens Info" and "lens" are not).
bool isHighlighted(const QString &untrimmedName);
bool isHighlighted(QStringView untrimmedName);

// Sets bold on every row whose name is highlighted; never clears a mark. A header row carries
// the name of the tag line above it and so is bold right after a bold tag.
void markBold(ReportRows &rows);

// All 54 names, German first.
QStringList names();

} // namespace KeyTags
