#pragma once

#include <QString>

#include <functional>

class PhotoBrowser;

// What a caller of the program's start path may change; the program itself changes nothing.
struct StartHooks {
    // The settings file; empty: the user's own (~/.config/Lumoskop/Lumoskop.conf).
    QString settingsFile;
    // Called once the window is built, before the command line's photo is opened.
    std::function<void(PhotoBrowser &browser)> windowBuilt;
};

// The program from start to end, as main() runs it; returns the exit code.
int runLumoskop(int argc, char *argv[], const StartHooks &hooks = {});
