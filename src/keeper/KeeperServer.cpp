#include "keeper/KeeperServer.h"

#include "exiftool/ExifToolCommand.h"
#include "exiftool/KeeperPlace.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QRegularExpression>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

quint64 inodeOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}

// What the keeper runs ExifTool on: an absolute photo path, so that no folder of the program
// matters, and a language that is a language code: ExifTool takes a "-lang" value that begins
// with "-" for an option of its own ("-w"), which would have it write files.
bool servable(const ExifToolAsk &ask)
{
    static const QRegularExpression code(QStringLiteral("^[A-Za-z]{2,3}([-_][A-Za-z]{2,4})?$"));
    if (!QDir::isAbsolutePath(ask.photo) || ask.photo.contains(QChar(0)))
        return false;
    if (ask.kind == ExifToolAsk::Kind::Report && !code.match(ask.language).hasMatch())
        return false;
    return KeptExifTool::fitsArgumentFile(ExifToolCommand::forAsk(ask));
}

KeeperAnswer refusal()
{
    return KeeperAnswer{KeeperAnswer::Kind::Refused, false, QString(), QByteArray()};
}

} // namespace

KeeperServer::KeeperServer(const KeeperIdentity &own, int warmSeconds, QObject *parent) : QObject(parent), m_own(own)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(qMax(1, warmSeconds) * 1000);
    m_patience.setSingleShot(true);
    m_patience.setInterval(Patience);
    connect(&m_idle, &QTimer::timeout, this, &KeeperServer::leave);
    connect(&m_patience, &QTimer::timeout, this, [this] {
        m_slow = true;
        refuseWaiting();
    });
    connect(&m_server, &QLocalServer::newConnection, this, &KeeperServer::accept);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &KeeperServer::checkPlace);
    connect(&m_exiftool, &KeptExifTool::answered, this, &KeeperServer::answered);
    connect(&m_exiftool, &KeptExifTool::failed, this, [this] { done(m_answering, refusal()); });
}

KeeperServer::~KeeperServer()
{
    stopListening();
    for (auto &client : m_clients)
        client.first->disconnect(this);
}

bool KeeperServer::listen(const QString &folder)
{
    if (!KeeperPlace::prepare(folder))
        return false;
    m_lock = KeeperPlace::takeLock(folder);
    if (m_lock < 0)
        return false;
    // Whoever holds the lock owns the name: a socket file still there is a dead keeper's.
    m_socketPath = KeeperPlace::socketPath(folder);
    QLocalServer::removeServer(m_socketPath);
    if (!m_server.listen(m_socketPath)) {
        stopListening();
        return false;
    }
    // The folder already keeps everyone else out; the socket says so as well.
    ::chmod(QFile::encodeName(m_socketPath).constData(), 0600);
    m_socketInode = inodeOf(m_socketPath);
    // The session's end removes the runtime folder; someone may also remove the socket.
    m_watcher.addPath(folder);
    m_exiftool.start(m_own.exiftool);
    m_idle.start();
    return true;
}

void KeeperServer::leave()
{
    if (m_leaving)
        return;
    m_leaving = true;
    m_idle.stop();
    stopListening();
    refuseWaiting();
    if (!m_exiftool.isAnswering())
        emit finished();
}

void KeeperServer::stopListening()
{
    if (m_server.isListening())
        m_server.close(); // removes the socket file
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    if (m_lock >= 0) {
        ::close(m_lock);
        m_lock = -1;
    }
}

void KeeperServer::checkPlace()
{
    if (m_server.isListening() && inodeOf(m_socketPath) != m_socketInode)
        leave();
}

void KeeperServer::accept()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // Another user's program, however it reached the socket, gets no word.
        if (m_leaving || !KeeperPlace::isThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_clients.emplace(socket, Client());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
    }
}

void KeeperServer::read(QLocalSocket *socket)
{
    auto client = m_clients.find(socket);
    if (client == m_clients.end())
        return;
    client->second.buffer += socket->readAll();
    for (;;) {
        client = m_clients.find(socket);
        if (client == m_clients.end())
            return;
        QByteArray frame;
        const KeeperMessage::Take taken =
            KeeperMessage::takeFrame(client->second.buffer, KeeperMessage::MaxRequest, frame);
        if (taken == KeeperMessage::Take::Incomplete)
            return;
        // Nonsense ends this connection, and only this one.
        if (taken == KeeperMessage::Take::Invalid || !take(socket, frame)) {
            drop(socket);
            return;
        }
    }
}

bool KeeperServer::take(QLocalSocket *socket, const QByteArray &frame)
{
    Client &client = m_clients.at(socket);
    if (client.waiting)
        return false;
    const std::optional<KeeperRequest> request = KeeperMessage::readRequest(frame);
    if (!request) {
        if (!KeeperMessage::isForeignRequest(frame))
            return false;
        notMe(socket);
        return true;
    }
    if (request->identity != m_own) {
        notMe(socket);
        return true;
    }
    client.matched = true;
    if (!m_leaving) {
        if (request->warmSeconds > 0)
            m_idle.setInterval(request->warmSeconds * 1000);
        m_idle.start();
    }
    if (m_leaving || m_slow || !servable(request->ask)) {
        send(socket, refusal());
        return true;
    }
    client.waiting = true;
    client.ask = request->ask;
    m_queue.push_back(socket);
    pump();
    return true;
}

// A request of another build, version or ExifTool. Where this keeper has nothing to do for
// its own programs, it ends, so that the program that asked can start its own.
void KeeperServer::notMe(QLocalSocket *socket)
{
    const bool idle = !m_exiftool.isAnswering() && m_queue.empty() &&
                      std::none_of(m_clients.begin(), m_clients.end(), [socket](const auto &client) {
                          return client.first != socket && client.second.matched;
                      });
    // The name is free before the answer says so.
    if (idle)
        stopListening();
    send(socket, KeeperAnswer{KeeperAnswer::Kind::NotMe, idle, QString(), QByteArray()});
    if (idle)
        leave();
}

void KeeperServer::send(QLocalSocket *socket, const KeeperAnswer &answer)
{
    socket->write(KeeperMessage::answer(answer));
    socket->flush();
}

void KeeperServer::drop(QLocalSocket *socket)
{
    if (m_clients.erase(socket) == 0)
        return;
    m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), socket), m_queue.end());
    if (m_answering == socket)
        m_answering = nullptr; // ExifTool finishes the request; its answer goes nowhere
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void KeeperServer::pump()
{
    if (m_exiftool.isAnswering() || m_queue.empty())
        return;
    QLocalSocket *socket = m_queue.front();
    m_queue.pop_front();
    freshen();
    m_answering = socket;
    m_slow = false;
    m_patience.start();
    m_exiftool.ask(ExifToolCommand::forAsk(m_clients.at(socket).ask), true, TimeLimit);
}

void KeeperServer::answered(const KeptExifTool::Answer &answer)
{
    // An answer ExifTool gave with an error status is for the program's own ExifTool to decide,
    // as the program decides an untrusted answer of its own kept ExifTool.
    if (!answer.trusted || answer.output.size() > KeeperMessage::MaxAnswer - 1024 * 1024)
        done(m_answering, refusal());
    else
        done(m_answering, KeeperAnswer{KeeperAnswer::Kind::Printed, false, answer.errorText, answer.output});
}

void KeeperServer::done(QLocalSocket *socket, const KeeperAnswer &answer)
{
    m_patience.stop();
    m_slow = false;
    m_answering = nullptr;
    const auto client = m_clients.find(socket);
    if (client != m_clients.end()) {
        client->second.waiting = false;
        send(socket, answer);
    }
    if (m_leaving) {
        emit finished();
        return;
    }
    freshen();
    pump();
}

// Started afresh between requests, so that the next one finds it warm: after RequestLimit
// requests, when exiftool was replaced on disk (a package upgrade), and after it died.
void KeeperServer::freshen()
{
    if (!m_exiftool.serves(m_own.exiftool))
        m_exiftool.start(m_own.exiftool);
}

void KeeperServer::refuseWaiting()
{
    for (QLocalSocket *socket : std::exchange(m_queue, {})) {
        m_clients.at(socket).waiting = false;
        send(socket, refusal());
    }
}
