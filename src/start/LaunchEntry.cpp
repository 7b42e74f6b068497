// The entry of the launch module, which the program's file loads once it has started ahead what
// the command line's photo will want.
#include "start/Launch.h"

#include <utility>

extern "C" __attribute__((visibility("default"))) int lumoskopLaunch(int argc, char *argv[], const StartHooks *hooks,
                                                                     StartedAhead *ahead)
{
    return launchLumoskop(argc, argv, *hooks, std::move(*ahead));
}
