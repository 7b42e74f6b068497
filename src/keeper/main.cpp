// lumoskop-keeper --exiftool PATH --warm SECONDS
//
// Started by the program where no keeper answers, detached so that it outlives the program.
#include "exiftool/KeeperPlace.h"
#include "keeper/KeeperServer.h"

#include "LumoskopVersion.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace
{

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGHUP end a desktop session, SIGINT a run from a terminal: each is turned into
// an event, so that a request being answered is answered first.
bool catchTermination()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
    // A program that goes away while its answer is being written would end the keeper with
    // SIGPIPE (QLocalSocket writes with write()). A handler, unlike SIG_IGN, is not passed on
    // to the ExifTool the keeper starts.
    action.sa_handler = [](int) {};
    ::sigaction(SIGPIPE, &action, nullptr);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Started detached from a program whose open files may include the pipes its own caller
    // reads to their end (a terminal's, a test runner's): holding them would keep that caller
    // waiting for as long as the keeper lives.
    ::close_range(3, ~0U, 0);
    // An answer of several MB (the previews of a raw photo) is held only while it is passed
    // on. A fixed threshold keeps such buffers in pages of their own, handed back when freed;
    // glibc would otherwise raise it after the first and keep the next ones in its heap.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    if (!catchTermination())
        return 1;
    QCoreApplication app(argc, argv);
    // A folder held open would keep a removable disk from being unmounted; the photos the
    // keeper reads come with absolute paths.
    if (::chdir("/") != 0)
        return 1;

    QString exiftool;
    int warmSeconds = 0;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1String("--exiftool"))
            exiftool = arguments.at(i + 1);
        else if (arguments.at(i) == QLatin1String("--warm"))
            warmSeconds = arguments.at(i + 1).toInt();
    }
    if (exiftool.isEmpty() || warmSeconds <= 0)
        return 2;

    const KeeperIdentity own{QString::fromLatin1(LumoskopVersion::Text),
                             FileStamp::of(QCoreApplication::applicationFilePath()), exiftool};
    KeeperServer server(own, warmSeconds);
    // Another keeper holds the place, or there is none to hold: nothing to do.
    if (!server.listen(KeeperPlace::folder()))
        return 0;
    QObject::connect(&server, &KeeperServer::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QSocketNotifier terminations(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&terminations, &QSocketNotifier::activated, &server, [&server] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        server.leave();
    });
    return app.exec();
}
