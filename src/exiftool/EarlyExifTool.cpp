#include "exiftool/EarlyExifTool.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif
#include <unistd.h>

#include <utility>
#include <vector>

extern char **environ;

namespace
{

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

EarlyExifTool::Handle EarlyExifTool::spawn(const QString &program, const QStringList &arguments)
{
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {};
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return {};
    }
#ifdef F_SETPIPE_SZ
    // Nothing reads the report before the window is up: a large one must not stall ExifTool.
    ::fcntl(out[1], F_SETPIPE_SZ, 1024 * 1024);
#endif
    QList<QByteArray> encoded{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        encoded << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, as every ExifTool of the program, so that ending it ends what it started.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    ::close(err[1]);
    if (failed != 0) {
        ::close(out[0]);
        ::close(err[0]);
        return {};
    }
    Handle run;
    run.program = program;
    run.arguments = arguments;
    run.pid = pid;
    run.out = out[0];
    run.err = err[0];
#ifdef SYS_pidfd_open
    // Tells of the end the moment it comes; without one the end is asked for every millisecond.
    // (Called directly: the C library's wrapper is not declared for C++ everywhere.)
    run.exitFd = int(::syscall(SYS_pidfd_open, pid, 0));
#endif
    return run;
}

void EarlyExifTool::Handle::end()
{
    for (int *fd : {&out, &err, &exitFd})
        closeFd(*fd);
    if (pid <= 0)
        return;
    ::kill(-pid_t(pid), SIGKILL);
    while (::waitpid(pid_t(pid), nullptr, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

std::unique_ptr<EarlyExifTool> EarlyExifTool::adopt(Handle handle)
{
    if (!handle.valid())
        return nullptr;
    std::unique_ptr<EarlyExifTool> run(new EarlyExifTool);
    run->m_program = handle.program;
    run->m_arguments = handle.arguments;
    run->m_pid = handle.pid;
    run->m_fds[0] = handle.out;
    run->m_fds[1] = handle.err;
    run->m_exitFd = handle.exitFd;
    return run;
}

std::unique_ptr<EarlyExifTool> EarlyExifTool::start(const QString &program, const QStringList &arguments)
{
    return adopt(spawn(program, arguments));
}

EarlyExifTool::~EarlyExifTool()
{
    kill();
}

void EarlyExifTool::watch()
{
    for (int which : {0, 1}) {
        if (m_fds[which] < 0 || m_notifiers[which])
            continue;
        ::fcntl(m_fds[which], F_SETFL, ::fcntl(m_fds[which], F_GETFL) | O_NONBLOCK);
        m_notifiers[which] = new QSocketNotifier(m_fds[which], QSocketNotifier::Read, this);
        connect(m_notifiers[which], &QSocketNotifier::activated, this, [this, which] { readFrom(which); });
        // What came before the event loop is there already.
        QMetaObject::invokeMethod(
            this, [this, which] { readFrom(which); }, Qt::QueuedConnection);
    }
}

void EarlyExifTool::readFrom(int which)
{
    if (m_fds[which] < 0)
        return;
    QByteArray &into = which == 0 ? m_end.output : m_end.errorOutput;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(m_fds[which], buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        break; // the end of the output, or an error that ends it
    }
    delete std::exchange(m_notifiers[which], nullptr);
    closeFd(m_fds[which]);
    if (m_fds[0] >= 0 || m_fds[1] >= 0 || m_pid <= 0)
        return;
    reap();
}

void EarlyExifTool::reap()
{
    // Both outputs closed: ExifTool is ending, if not gone already. Asked without waiting, so
    // that an ExifTool that closed its outputs early never holds up the window.
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid_t(m_pid), &status, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == 0) {
        if (m_exitFd < 0) {
            QTimer::singleShot(1, this, &EarlyExifTool::reap);
        } else if (!m_exitNotifier) {
            m_exitNotifier = new QSocketNotifier(m_exitFd, QSocketNotifier::Read, this);
            connect(m_exitNotifier, &QSocketNotifier::activated, this, &EarlyExifTool::reap);
        }
        return;
    }
    dropExitWatch();
    m_pid = -1;
    if (reaped > 0 && WIFEXITED(status)) {
        m_end.exitCode = WEXITSTATUS(status);
    } else {
        m_end.crashed = true;
    }
    emit ended(m_end);
}

void EarlyExifTool::dropExitWatch()
{
    if (QSocketNotifier *notifier = std::exchange(m_exitNotifier, nullptr)) {
        // It may be the one whose signal runs now.
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    closeFd(m_exitFd);
}

void EarlyExifTool::kill()
{
    dropExitWatch();
    for (int which : {0, 1})
        delete std::exchange(m_notifiers[which], nullptr);
    Handle left;
    left.pid = std::exchange(m_pid, -1);
    left.out = std::exchange(m_fds[0], -1);
    left.err = std::exchange(m_fds[1], -1);
    left.end();
}
