#pragma once

#include "exiftool/KeeperMessage.h"
#include "exiftool/KeptExifTool.h"

#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <unordered_map>

class QLocalSocket;

// The user's ExifTool keeper: one ExifTool kept warm across program starts, answering the
// requests of every Lumoskop window of the user on a local socket.
//
// One ExifTool, and a queue that takes the connections in turn: each connection has at most
// one request at a time, so no window can get ahead of another, and the keeper needs no more
// memory than one ExifTool. A photo that keeps ExifTool busy for longer than Patience does not
// hold the others back: what waits then, and what comes until it is done, is refused, and
// those programs ask their own ExifTool.
//
// It writes nothing anywhere: ExifTool only prints, and the keeper hands the bytes back. It
// tells nobody which photos it read.
class KeeperServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int Patience = 1000;   // ms one request may hold the others back
    static constexpr int TimeLimit = 10000; // ms, as the program gives its own ExifTool

    KeeperServer(const KeeperIdentity &own, int warmSeconds, QObject *parent = nullptr);
    ~KeeperServer() override;

    // Takes the keeper's lock in folder, replaces a socket a dead keeper left there, listens,
    // and starts ExifTool. False, doing nothing, where another keeper holds the lock or the
    // folder is not the user's own.
    bool listen(const QString &folder);

    // The session ends: no request is taken any more, and finished() follows once the one
    // being answered is answered.
    void leave();

signals:
    // Nothing is left to answer; the keeper has let go of its socket and lock.
    void finished();

private:
    struct Client {
        QByteArray buffer;
        bool waiting = false; // a request of it is queued or being answered
        bool matched = false; // it sent a request this keeper serves
        ExifToolAsk ask;
    };

    void accept();
    void read(QLocalSocket *socket);
    bool take(QLocalSocket *socket, const QByteArray &frame);
    void notMe(QLocalSocket *socket);
    void send(QLocalSocket *socket, const KeeperAnswer &answer);
    void drop(QLocalSocket *socket);
    void pump();
    void freshen();
    void answered(const KeptExifTool::Answer &answer);
    void done(QLocalSocket *socket, const KeeperAnswer &answer);
    void refuseWaiting();
    void checkPlace();
    void stopListening();

    KeeperIdentity m_own;
    QLocalServer m_server;
    QString m_socketPath;
    quint64 m_socketInode = 0;
    int m_lock = -1;
    QFileSystemWatcher m_watcher;
    KeptExifTool m_exiftool;
    QTimer m_idle;
    QTimer m_patience;
    std::unordered_map<QLocalSocket *, Client> m_clients;
    std::deque<QLocalSocket *> m_queue;
    QLocalSocket *m_answering = nullptr;
    bool m_slow = false; // the request being answered has taken longer than Patience
    bool m_leaving = false;
};
