#include "pipeline/KeeperClient.h"

#include "exiftool/KeeperMessage.h"
#include "exiftool/KeptExifTool.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>

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
    return canServe() && !m_waiting && ask.kind != ExifToolAsk::Kind::None && QDir::isAbsolutePath(ask.photo) &&
           KeptExifTool::fitsArgumentFile(ExifToolCommand::forAsk(ask));
}

void KeeperClient::begin(const ExifToolAsk &ask, const QString &exiftool, int timeLimit)
{
    ++m_serial;
    m_waiting = true;
    m_exiftool = exiftool;
    m_request = KeeperMessage::request({KeeperPlace::identity(m_program, exiftool), m_warmSeconds, ask});
    m_timeLimit.setInterval(qMax(1, timeLimit));
}

bool KeeperClient::ask(const ExifToolAsk &ask, const QString &exiftool, int timeLimit)
{
    if (!takes(ask))
        return false;
    begin(ask, exiftool, timeLimit);
    m_timeLimit.start();
    if (m_socket && m_socket->state() == QLocalSocket::ConnectedState) {
        connected();
        return true;
    }
    closeSocket();
    // Only a folder of the user's own is trusted to hold the user's keeper.
    if (!KeeperPlace::prepare(m_folder)) {
        fail(false);
        return true;
    }
    newSocket()->connectToServer(KeeperPlace::socketPath(m_folder));
    return true;
}

bool KeeperClient::askNow(const ExifToolAsk &ask, const QString &exiftool, int timeLimit)
{
    if (!takes(ask) || !KeeperPlace::prepare(m_folder))
        return false;
    const int fd = KeeperPlace::connectNow(m_folder);
    if (fd < 0) {
        m_startWanted = true;
        m_exiftool = exiftool;
        return false;
    }
    begin(ask, exiftool, timeLimit);
    // A request is far smaller than the socket's buffer: it goes out whole, or not at all.
    const ssize_t written = ::send(fd, m_request.constData(), size_t(m_request.size()), MSG_NOSIGNAL);
    if (written != m_request.size()) {
        ::close(fd);
        m_waiting = false;
        m_request.clear();
        return false;
    }
    m_request.clear();
    // The socket and the time limit need the event loop.
    const quint64 serial = m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial, fd] {
            if (serial != m_serial || !m_waiting) {
                ::close(fd);
                return;
            }
            m_timeLimit.start();
            if (!newSocket()->setSocketDescriptor(fd))
                fail(false);
        },
        Qt::QueuedConnection);
    return true;
}

void KeeperClient::startWanted()
{
    if (std::exchange(m_startWanted, false))
        startKeeper();
}

QLocalSocket *KeeperClient::newSocket()
{
    m_socket = new QLocalSocket(this);
    QLocalSocket *socket = m_socket;
    connect(socket, &QLocalSocket::connected, this, &KeeperClient::connected);
    connect(socket, &QLocalSocket::readyRead, this, &KeeperClient::read);
    connect(socket, &QLocalSocket::disconnected, this, [this] { fail(false); });
    connect(socket, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError error) {
        // Refused or missing: no keeper listens, so one is started for the requests to come.
        // One that ended (its idle time is up) is not started again before a request needs it.
        fail(error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError);
    });
    return socket;
}

void KeeperClient::connected()
{
    if (!m_socket || m_request.isEmpty())
        return;
    // A socket that someone else put into the user's folder is not the keeper.
    if (!KeeperPlace::isThisUser(m_socket->socketDescriptor())) {
        fail(false);
        return;
    }
    m_socket->write(std::exchange(m_request, {}));
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

void KeeperClient::read()
{
    m_buffer += m_socket->readAll();
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
    if (!m_socket)
        return;
    QLocalSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void KeeperClient::startKeeper()
{
    // A keeper that holds the lock is starting or ending; a second one would only find it taken.
    if (!KeeperPlace::lockIsFree(m_folder))
        return;
    QProcess keeper;
    keeper.setProgram(m_program);
    keeper.setArguments(
        {QStringLiteral("--exiftool"), m_exiftool, QStringLiteral("--warm"), QString::number(m_warmSeconds)});
    keeper.setWorkingDirectory(QStringLiteral("/"));
    keeper.setStandardInputFile(QProcess::nullDevice());
    keeper.setStandardOutputFile(QProcess::nullDevice());
    keeper.setStandardErrorFile(QProcess::nullDevice());
    keeper.startDetached();
}
