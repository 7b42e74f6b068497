#pragma once

#include "pipeline/ReportRow.h"

#include <QByteArray>
#include <QStringList>

// The camera panel and the bold marks know tags by ExifTool's German and English descriptions.
// A report in any other language is matched line for line with ExifTool's English listing of
// the same photo, so that each row is known by its English description there too.
namespace EnglishNames
{

// Whether a report in this language needs the English listing: the German and the English
// report are read by their own descriptions.
bool needed(const QString &language);

// The English description of every row (untrimmed, as the report has it), from the English
// listing; empty when the listing does not line up with the rows: another count of lines, or
// a group header where the report has none.
QStringList fromListing(const ReportRows &rows, const QByteArray &listing);

// Sets bold on every row whose English description is highlighted, and clears it on the rest:
// the marks follow the same tags in every language.
void markBold(ReportRows &rows, const QStringList &englishNames);

} // namespace EnglishNames
