#pragma once

#include "early/ProgramStart.h"
#include "exiftool/EarlyHandover.h"
#include "start/FontConfigAhead.h"

#include <QString>

#include <functional>
#include <memory>

class QSettings;

// What the launcher hands the window library.
struct Launched {
    QSettings *settings = nullptr; // the settings file, open
    QString commandLine;           // everything after the program's name
    EarlyHandover first;           // what was started for the command line's photo
    // Reading the font configuration, when a keeper serves that photo: then nothing else keeps
    // the other core busy while the window library loads. Null otherwise.
    std::unique_ptr<FontConfigAhead> fontsAhead;
};

// The window library's entry (lumoskopWindow in liblumoskop_window.so).
using WindowEntry = int(int argc, char *argv[], const StartHooks *hooks, Launched *launched);

// The program from what its file started ahead to its end; returns the exit code. The launch
// module loads QtCore only: it makes the request for the command line's photo from what was
// started ahead, and only then loads the window library, whose toolkit libraries take longer
// to load than the keeper takes to answer.
int launchLumoskop(int argc, char *argv[], const StartHooks &hooks, StartedAhead ahead);
