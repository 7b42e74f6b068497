// The entry of the window library, which the program's file loads once the request for the
// command line's photo is on its way.
#include "app/LumoskopStart.h"

extern "C" __attribute__((visibility("default"))) int lumoskopWindow(int argc, char *argv[], const StartHooks *hooks,
                                                                     Launched *launched)
{
    return runLumoskop(argc, argv, *hooks, *launched);
}
