// bench_startup's program: the program's own start path for one photo, and out as soon as the
// list is filled. Prints "filled" then, and at its end the row count and the milliseconds from
// its start to the window built and to the list filled. Links what the program's file links,
// so that it loads as the program does.
//
//   bench_startup_child <photo> <settings file>

#include "start/Launch.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (argc < 3)
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int rows = -1;
    double built = 0, filled = 0;
    StartHooks hooks;
    hooks.settingsFile = QFile::decodeName(argv[2]);
    hooks.windowBuilt = [&] { built = clock.nsecsElapsed() / 1e6; };
    hooks.listFilled = [&](int shown) {
        filled = clock.nsecsElapsed() / 1e6;
        rows = shown;
        // The parent stops its clock here: what the user waits for ends with the filled list,
        // not with the program's own shutdown.
        std::printf("filled\n");
        std::fflush(stdout);
        return true;
    };
    char *programArguments[] = {argv[0], argv[1], nullptr};
    const int code = launchLumoskop(2, programArguments, hooks);
    std::printf("%d %.1f %.1f\n", rows, built, filled);
    return code != 0 ? code : rows > 0 ? 0 : 3;
}
