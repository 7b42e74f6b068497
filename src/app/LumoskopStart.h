#pragma once

#include "start/Launch.h"

// The window's part of the program's start path, in the window library: what launchLumoskop()
// opened and started is taken over; returns the exit code.
int runLumoskop(int argc, char *argv[], const StartHooks &hooks, Launched &launched);
