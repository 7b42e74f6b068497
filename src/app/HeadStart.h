#pragma once

#include <QString>

class QSettings;
class ReportsAhead;

// ExifTool's work on the command-line photo, begun before the window is built, so that Perl
// loads while Qt builds and paints the window. ExifTool prints the report into memory; the
// window takes it over once it is shown, as if it had asked for it then, so the user still
// sees the window first and then the list. A run the user watches in a terminal ("ExifTool
// show") waits for the window as before.
namespace HeadStart
{

void begin(ReportsAhead &ahead, QSettings &settings, const QString &commandLine);

} // namespace HeadStart
