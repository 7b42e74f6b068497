#pragma once

#include "early/ProgramStart.h"
#include "exiftool/EarlyHandover.h"

#include <QString>

class SettingsStore;

// The request for the photo of the command line, made by the launcher before the window
// library is loaded, so that Perl loads (or the keeper answers) while the toolkit's libraries
// load. It asks what the window's first request will ask, by the same rules; where it guesses
// wrong, the window ends it and asks anew, at the cost of the time gained.
namespace FirstRequest
{

// commandLine: everything after the program's name. Nothing is started where the window would
// start nothing before its event loop: no usable photo, a report beside it already, a run the
// user watches in a terminal, or no ExifTool. What the program's file started ahead is taken
// over where it serves, and ended otherwise.
EarlyHandover start(const QString &commandLine, const SettingsStore &settings, StartedAhead ahead = {});

} // namespace FirstRequest
