#include "pipeline/KeeperClient.h"

#include "exiftool/KeeperMessage.h"

#include <QProcess>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

KeeperClient::KeeperClient(int warmSeconds, const QString &keeperProgram, QObject *parent)
    : QObject(parent), m_warmSeconds(warmSeconds),
      m_program(keeperProgram.isEmpty() ? KeeperPlace::program() : keeperProgram), m_folder(KeeperPlace::folder())
{
    m_timeLimit.setSingleShot(true);
    // Hung: its answer would come too late to be worth waiting for, now and later.
    connect(&m_timeLimit, &QTimer::timeout, this, [this] {
        m_broken = true;
        fail(false);
    });
}

KeeperClient::~KeeperClient()
{
    closeSocket();
}

bool KeeperClient::canServe() const
{
    return !m_broken && !m_folder.isEmpty() && !m_program.isEmpty() && m_warmSeconds > 0;
}

bool KeeperClient::takes(const ExifToolAsk &ask) const
{
    return canServe() && !m_waiting && KeeperPlace::takes(ask);
}

void KeeperClient::begin(const ExifToolAsk &ask, const QString &exiftool, int timeLimit)
{
    ++m_serial;
    m_waiting = true;
    m_exiftool = exiftool;
    m_request = KeeperPlace::request(m_program, m_warmSeconds, ask, exiftool);
    m_timeLimit.setInterval(qMax(1, timeLimit));
}

bool KeeperClient::ask(const ExifToolAsk &ask, const QString &exiftool, int timeLimit)
{
    if (!takes(ask))
        return false;
    begin(ask, exiftool, timeLimit);
    m_timeLimit.start();
    if (m_fd >= 0) {
        if (!send())
            fail(false);
        return true;
    }
    closeSocket();
    // Only a folder of the user's own is trusted to hold the user's keeper.
    if (!KeeperPlace::prepare(m_folder)) {
        fail(false);
        return true;
    }
    // A local connection is taken or refused at once; it never waits for the event loop.
    bool noneListens = false;
    const int fd = KeeperPlace::connectNow(m_folder, &noneListens);
    if (fd < 0) {
        // Nothing listens: one is started for the requests to come. One that ended (its idle
        // time is up) is not started again before a request needs it.
        fail(noneListens);
        return true;
    }
    adopt(fd);
    if (!send())
        fail(false);
    return true;
}

bool KeeperClient::askNow(const ExifToolAsk &ask, const QString &exiftool, int timeLimit)
{
    if (!takes(ask) || !KeeperPlace::prepare(m_folder))
        return false;
    const int fd = KeeperPlace::askNow(m_folder, KeeperPlace::request(m_program, m_warmSeconds, ask, exiftool));
    if (fd < 0) {
        wantStart(exiftool);
        return false;
    }
    adoptAsked(fd, exiftool, timeLimit);
    return true;
}

void KeeperClient::wantStart(const QString &exiftool)
{
    m_startWanted = true;
    m_exiftool = exiftool;
}

void KeeperClient::adoptAsked(int fd, const QString &exiftool, int timeLimit)
{
    ++m_serial;
    m_waiting = true;
    m_exiftool = exiftool;
    m_timeLimit.setInterval(qMax(1, timeLimit));
    m_fd = fd;
    // The notifier and the time limit need the event loop.
    const quint64 serial = m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial, fd] {
            if (serial != m_serial || !m_waiting || m_fd != fd)
                return;
            m_fd = -1;
            m_timeLimit.start();
            adopt(fd);
            // What came before the event loop is there already.
            readSocket();
        },
        Qt::QueuedConnection);
}

void KeeperClient::startWanted()
{
    if (std::exchange(m_startWanted, false))
        startKeeper();
}

void KeeperClient::adopt(int fd)
{
    m_fd = fd;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &KeeperClient::readSocket);
}

bool KeeperClient::send()
{
    return KeeperPlace::sendWhole(m_fd, std::exchange(m_request, {}));
}

void KeeperClient::drop()
{
    ++m_serial;
    if (!m_waiting)
        return;
    // Its answer is still to come on this connection and would be taken for the next one's.
    m_waiting = false;
    m_timeLimit.stop();
    closeSocket();
}

void KeeperClient::readSocket()
{
    bool ended = false;
    char chunk[65536];
    // Never more than one answer's worth: a longer frame is refused by its length alone.
    while (m_fd >= 0 && m_buffer.size() <= KeeperMessage::MaxAnswer + 4) {
        const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (got > 0) {
            m_buffer.append(chunk, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        ended = !(got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
        break;
    }
    if (!m_buffer.isEmpty())
        take();
    // Gone, whether between requests or in the middle of one.
    if (ended && m_fd >= 0)
        fail(false);
}

void KeeperClient::take()
{
    QByteArray frame;
    const KeeperMessage::Take taken = KeeperMessage::takeFrame(m_buffer, KeeperMessage::MaxAnswer, frame);
    if (taken == KeeperMessage::Take::Incomplete)
        return;
    const std::optional<KeeperAnswer> answer =
        taken == KeeperMessage::Take::Frame ? KeeperMessage::readAnswer(frame) : std::nullopt;
    // Nonsense, or an answer nobody asked for.
    if (!answer || !m_waiting || !m_buffer.isEmpty()) {
        m_broken = true;
        fail(false);
        return;
    }
    switch (answer->kind) {
    case KeeperAnswer::Kind::Printed: {
        ExifToolOutcome outcome;
        outcome.started = true;
        outcome.exitCode = 0;
        outcome.program = m_exiftool;
        outcome.errorOutput = answer->errorText;
        outcome.output = answer->output;
        deliver(outcome);
        break;
    }
    case KeeperAnswer::Kind::NotMe:
        // A keeper of another build ends when it has nothing to do for its own programs, and
        // this program's keeper takes its place; one still busy with them serves this program
        // never, so its own ExifTool is kept warm instead.
        m_broken = !answer->givingWay;
        fail(answer->givingWay);
        break;
    case KeeperAnswer::Kind::Refused:
        deliver(std::nullopt);
        break;
    }
}

void KeeperClient::fail(bool startKeeper)
{
    closeSocket();
    if (startKeeper && m_waiting)
        this->startKeeper();
    deliver(std::nullopt);
}

void KeeperClient::deliver(const std::optional<ExifToolOutcome> &outcome)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_request.clear();
    m_timeLimit.stop();
    // Never from inside ask(), where a socket may report its failure at once.
    const quint64 serial = m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial, outcome] {
            if (serial != m_serial)
                return;
            if (outcome)
                emit answered(*outcome);
            else
                emit declined();
        },
        Qt::QueuedConnection);
}

void KeeperClient::closeSocket()
{
    m_buffer.clear();
    if (QSocketNotifier *notifier = std::exchange(m_notifier, nullptr)) {
        // It may be the one whose signal runs now.
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

void KeeperClient::startKeeper()
{
    // A keeper that holds the lock is starting or ending; a second one would only find it taken.
    if (!KeeperPlace::lockIsFree(m_folder))
        return;
    if (m_startedKeeper > 0 && ::kill(pid_t(m_startedKeeper), 0) == 0)
        return;
    QProcess keeper;
    keeper.setProgram(m_program);
    keeper.setArguments(
        {QStringLiteral("--exiftool"), m_exiftool, QStringLiteral("--warm"), QString::number(m_warmSeconds)});
    keeper.setWorkingDirectory(QStringLiteral("/"));
    keeper.setStandardInputFile(QProcess::nullDevice());
    keeper.setStandardOutputFile(QProcess::nullDevice());
    keeper.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (keeper.startDetached(&pid))
        m_startedKeeper = pid;
}
