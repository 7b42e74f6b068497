#pragma once

#include "early/SpawnedProcess.h"

#include <functional>
#include <string>

// What a caller of the program's start path may change; the program itself changes nothing.
struct StartHooks {
    // The settings file; empty: the user's own (~/.config/Lumoskop/Lumoskop.conf).
    std::string settingsFile;
    // Called once the window is built, before the command line's photo is opened.
    std::function<void()> windowBuilt;
    // Called once the list is first filled, with its rows; true: the window closes then.
    std::function<bool(int rows)> listFilled;
};

// What the program's file started for the photo of its command line within a few milliseconds
// of its start, before any toolkit library or setting was loaded: a connection to the user's
// keeper, or else ExifTool itself, whose Perl loads meanwhile and then waits for its arguments
// on its standard input ("-@ -"). Whoever knows the settings decides: takes a part over (by
// resetting it here) or lets it end with this.
struct StartedAhead {
    int keeperFd = -1;          // a keeper of this user listens here; nothing is sent yet
    std::string exiftool;       // the ExifTool started, as found: beside the program, else on PATH
    SpawnedProcess exiftoolRun; // it, waiting for its arguments

    StartedAhead() = default;
    StartedAhead(StartedAhead &&other) noexcept;
    StartedAhead &operator=(StartedAhead &&other) noexcept;
    ~StartedAhead(); // as end()
    // Closes the connection, ends ExifTool and reaps it.
    void end();
};

// Starts ahead what the photo of the command line will want: nothing without an argument that
// names a file.
StartedAhead startAhead(int argc, char *argv[]);

// The launch module's entry (lumoskopLaunch in liblumoskop_launch.so).
using LaunchEntry = int(int argc, char *argv[], const StartHooks *hooks, StartedAhead *ahead);

// The program from start to end, as main() runs it; returns the exit code. It starts ahead,
// then loads the launch module (QtCore), which reads the settings, decides, and loads the
// window library.
int startLumoskop(int argc, char *argv[], const StartHooks &hooks = {});
