#include "early/SpawnedProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif
#include <unistd.h>

#include <initializer_list>

extern char **environ;

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

SpawnedProcess spawnProcess(char *const argv[], bool withInput)
{
    int out[2] = {-1, -1}, err[2] = {-1, -1}, in[2] = {-1, -1};
    const auto closeAll = [&] {
        for (int *fd : {&out[0], &out[1], &err[0], &err[1], &in[0], &in[1]})
            closeFd(*fd);
    };
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        (withInput && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0)) {
        closeAll();
        return {};
    }
#ifdef F_SETPIPE_SZ
    // Nothing reads the report before the window is up: a large one must not stall ExifTool.
    ::fcntl(out[1], F_SETPIPE_SZ, 1024 * 1024);
#endif
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (withInput)
        posix_spawn_file_actions_adddup2(&actions, in[1], 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(out[1]);
    closeFd(err[1]);
    closeFd(in[1]);
    if (failed != 0) {
        closeAll();
        return {};
    }
    SpawnedProcess process;
    process.pid = pid;
    process.in = in[0];
    process.out = out[0];
    process.err = err[0];
#ifdef SYS_pidfd_open
    // Tells of the end the moment it comes; without one the end is asked for every millisecond.
    // (Called directly: the C library's wrapper is not declared for C++ everywhere.)
    process.exitFd = int(::syscall(SYS_pidfd_open, pid, 0));
#endif
    return process;
}

void SpawnedProcess::end()
{
    for (int *fd : {&in, &out, &err, &exitFd})
        closeFd(*fd);
    if (pid <= 0)
        return;
    ::kill(-pid_t(pid), SIGKILL);
    while (::waitpid(pid_t(pid), nullptr, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

bool SpawnedProcess::feedAndClose(const char *bytes, unsigned long size)
{
    bool whole = in >= 0;
    while (whole && size > 0) {
        const ssize_t written = ::send(in, bytes, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        whole = written > 0;
        if (whole) {
            bytes += written;
            size -= (unsigned long)written;
        }
    }
    closeFd(in);
    return whole;
}
