#include "exiftool/EarlyExifTool.h"

#include "early/SpawnedProcess.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>
#include <vector>

EarlyExifTool::Handle EarlyExifTool::spawn(const QString &program, const QStringList &arguments)
{
    QList<QByteArray> encoded{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        encoded << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return adopted(program, arguments, spawnProcess(argv.data(), false));
}

EarlyExifTool::Handle EarlyExifTool::adopted(const QString &program, const QStringList &arguments,
                                             const SpawnedProcess &process)
{
    if (!process.valid())
        return {};
    Handle run;
    run.program = program;
    run.arguments = arguments;
    run.pid = process.pid;
    run.out = process.out;
    run.err = process.err;
    run.exitFd = process.exitFd;
    return run;
}

void EarlyExifTool::Handle::end()
{
    SpawnedProcess process;
    process.pid = long(std::exchange(pid, -1));
    process.out = std::exchange(out, -1);
    process.err = std::exchange(err, -1);
    process.exitFd = std::exchange(exitFd, -1);
    process.end();
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
