#pragma once

#include "exiftool/EarlyExifTool.h"
#include "exiftool/ExifToolCommand.h"

// What the launcher started for the photo of the command line before it loaded the window
// library: an ExifTool of its own, or a request to the user's keeper. The window's ExifTool
// service takes it over when its own first request is the same, and ends it otherwise. Plain
// data, so that no object crosses from the launcher to the library.
struct EarlyHandover {
    ExifToolAsk ask;           // what was asked
    QString exiftool;          // of which ExifTool
    EarlyExifTool::Handle run; // ExifTool started on it
    int keeperFd = -1;         // or the keeper asked: its answer is to be read here
    bool keeperWanted = false; // no keeper listened: one is to be started once the photo is shown

    // Ends what is still started: nobody takes it over.
    void end();
};
