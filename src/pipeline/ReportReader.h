#pragma once

#include "pipeline/ReportRow.h"

#include <QByteArray>
#include <QString>

// cmdAnzeigen's reading step: ExifTool's text report into list rows.
namespace ReportReader
{

enum class ReadResult { Ok, Missing, Unreadable };

// One row per line, in file order. Lines end with LF or CR LF; a final line end makes no extra
// row. Each line is decoded as UTF-8 when it is valid UTF-8, else as Windows-1252 (ExifTool
// copies raw maker-note bytes into single lines). A line is split at its first colon, both
// parts untrimmed; a line without colon (a group header) keeps the whole line as its value,
// carries the name of the nearest line above that had a colon and has the header flag set.
ReportRows parse(const QByteArray &bytes);

// Decodes one line (without its line end) by the rule above.
QString decodeLine(const char *data, qsizetype size);

// Reads the report and makes its rows as parse does, with the character repair
// (CharRepair::SONDERZEICHEN) and the bold marks (KeyTags::markBold) done in the same pass.
// Missing: nothing at the path. Unreadable: not a regular file (a folder or a FIFO, which
// would block the reader), or it cannot be opened or read. rows is emptied first.
ReadResult load(const QString &path, ReportRows *rows);

// As parse, then repair and bold marks; what load() does after reading.
ReportRows parseAndFinish(const QByteArray &bytes);

} // namespace ReportReader
