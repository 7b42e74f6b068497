// bench_startup's program: the program's own start path for one photo, and out as soon as the
// list is filled. Prints "filled" then, and at its end the row count and the milliseconds from
// its start to the window built and to the list filled. Links what the program's file links
// (no Qt), so that it loads as the program does.
//
//   bench_startup_child <photo> <settings file>

#include "early/ProgramStart.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const auto begin = std::chrono::steady_clock::now();
    const auto elapsed = [begin] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    };
    if (argc < 3)
        return 2;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int rows = -1;
    double built = 0, filled = 0;
    StartHooks hooks;
    hooks.settingsFile = argv[2];
    hooks.windowBuilt = [&] { built = elapsed(); };
    hooks.listFilled = [&](int shown) {
        filled = elapsed();
        rows = shown;
        // The parent stops its clock here: what the user waits for ends with the filled list,
        // not with the program's own shutdown.
        std::printf("filled\n");
        std::fflush(stdout);
        return true;
    };
    char *programArguments[] = {argv[0], argv[1], nullptr};
    const int code = startLumoskop(2, programArguments, hooks);
    std::printf("%d %.1f %.1f\n", rows, built, filled);
    return code != 0 ? code : rows > 0 ? 0 : 3;
}
