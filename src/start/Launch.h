#pragma once

#include "exiftool/EarlyHandover.h"
#include "start/FontConfigAhead.h"

#include <QString>

#include <functional>
#include <memory>

class QSettings;

// What a caller of the program's start path may change; the program itself changes nothing.
struct StartHooks {
    // The settings file; empty: the user's own (~/.config/Lumoskop/Lumoskop.conf).
    QString settingsFile;
    // Called once the window is built, before the command line's photo is opened.
    std::function<void()> windowBuilt;
    // Called once the list is first filled, with its rows; true: the window closes then.
    std::function<bool(int rows)> listFilled;
};

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

// The program from start to end, as main() runs it; returns the exit code. The program's file
// loads QtCore only: it starts the request for the command line's photo, and only then loads
// the window library, whose toolkit libraries take longer to load than the program takes to
// get ExifTool going.
int launchLumoskop(int argc, char *argv[], const StartHooks &hooks = {});
