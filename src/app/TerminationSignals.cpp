#include "app/TerminationSignals.h"

#include "dialogs/BoxLifetime.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_received = 0;

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

// Only async-signal-safe work here: hand the number to the event loop through the pipe.
void onSignal(int number)
{
    if (g_received) {
        // The closing the first signal asked for has not ended the program: end it the way
        // the signal would have without us. The signal is blocked while this runs, so it
        // arrives, with its default action, as soon as the handler returns.
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    g_received = 1;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
}
} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    g_received = 0;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        if (::read(g_pipe[1], &byte, 1) == 1)
            emit terminationRequested(byte);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // One handler at a time: a second signal then always sees the first one's mark.
    for (int number : Handled)
        sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESTART;
    for (int number : Handled)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : Handled)
        ::sigaction(number, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    for (int &fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TerminationSignals::endSession(QWidget *mainWindow)
{
    BoxLifetime::closeAll();
    if (mainWindow)
        mainWindow->close();
    // The boxes' waits return only once this handler is over, and their callers then go on;
    // ending every event loop now keeps them from waiting again (any later wait returns at
    // once), also before the main loop has begun.
    QCoreApplication::exit(0);
}
