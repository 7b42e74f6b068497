#include "early/ProgramStart.h"

#include "early/KeeperSocket.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{

bool isFile(const std::string &path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isProgram(const std::string &path)
{
    return isFile(path) && ::access(path.c_str(), X_OK) == 0;
}

// The folder of the running program's file, links followed; empty when the system hides it.
std::string programFolder()
{
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target - 1);
    if (length <= 0)
        return std::string();
    std::string folder(target, size_t(length));
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    folder.resize(slash == 0 ? 1 : slash);
    return folder;
}

// The ExifTool the program runs: beside it first, then the first on PATH.
std::string locateExifTool(const std::string &folder)
{
    if (!folder.empty() && isProgram(folder + "/exiftool"))
        return folder + "/exiftool";
    const char *path = std::getenv("PATH");
    for (std::string rest = path ? path : ""; !rest.empty();) {
        const size_t colon = rest.find(':');
        const std::string entry = rest.substr(0, colon);
        rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
        if (!entry.empty() && entry[0] == '/' && isProgram(entry + "/exiftool"))
            return entry + "/exiftool";
    }
    return std::string();
}

// The command line names a file: as given (a file manager's name, quotes and all) or without
// the quotes a shell left in, as the window reads it.
bool namesFile(int argc, char *argv[])
{
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    if (isFile(line))
        return true;
    std::string unquoted;
    for (char c : line)
        if (c != '"')
            unquoted += c;
    return isFile(unquoted);
}

} // namespace

StartedAhead::StartedAhead(StartedAhead &&other) noexcept
    : keeperFd(std::exchange(other.keeperFd, -1)), exiftool(std::move(other.exiftool)),
      exiftoolRun(std::exchange(other.exiftoolRun, SpawnedProcess()))
{
}

StartedAhead &StartedAhead::operator=(StartedAhead &&other) noexcept
{
    if (this != &other) {
        end();
        keeperFd = std::exchange(other.keeperFd, -1);
        exiftool = std::move(other.exiftool);
        exiftoolRun = std::exchange(other.exiftoolRun, SpawnedProcess());
    }
    return *this;
}

StartedAhead::~StartedAhead()
{
    end();
}

void StartedAhead::end()
{
    if (keeperFd >= 0)
        ::close(keeperFd);
    keeperFd = -1;
    exiftoolRun.end();
}

StartedAhead startAhead(int argc, char *argv[])
{
    StartedAhead ahead;
    if (argc < 2 || !namesFile(argc, argv))
        return ahead;
    // A keeper that answers serves the photo in a few milliseconds: no Perl is started then,
    // which would only take the other core from the window.
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        const std::string socket =
            std::string(runtime) + '/' + KeeperSocket::FolderName + '/' + KeeperSocket::SocketName;
        ahead.keeperFd = KeeperSocket::connectNow(socket.c_str());
        if (ahead.keeperFd >= 0)
            return ahead;
    }
    ahead.exiftool = locateExifTool(programFolder());
    if (ahead.exiftool.empty())
        return ahead;
    std::string program = ahead.exiftool, fromFile = "-@", standardInput = "-";
    char *arguments[] = {program.data(), fromFile.data(), standardInput.data(), nullptr};
    ahead.exiftoolRun = spawnProcess(arguments, true);
    return ahead;
}

int startLumoskop(int argc, char *argv[], const StartHooks &hooks)
{
    StartedAhead ahead = startAhead(argc, argv);
    // Beside the program (the build tree), then where it is installed, as the window library.
    const std::string folder = programFolder();
    std::string failure = "not found";
    for (const std::string &place : {folder, folder + "/" LUMOSKOP_HELPER_DIR_FROM_BIN}) {
        const std::string file = place + "/liblumoskop_launch.so";
        if (folder.empty() || !isFile(file))
            continue;
        // Never unloaded: the whole program runs in there.
        if (void *module = ::dlopen(file.c_str(), RTLD_LAZY | RTLD_LOCAL)) {
            if (auto *entry = reinterpret_cast<LaunchEntry *>(::dlsym(module, "lumoskopLaunch")))
                return entry(argc, argv, &hooks, &ahead);
        }
        const char *error = ::dlerror();
        failure = error ? error : "no entry";
    }
    std::fprintf(stderr, "Lumoskop: the launch module liblumoskop_launch.so could not be loaded: %s\n",
                 failure.c_str());
    return 1;
}
