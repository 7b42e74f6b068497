#pragma once

#include "exiftool/ExifToolCommand.h"
#include "exiftool/KeeperPlace.h"
#include "pipeline/ExifToolService.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

// The program's side of the user's ExifTool keeper (lumoskop-keeper): asks it what the program
// would otherwise ask its own ExifTool, and starts one where none answers. The keeper only
// ever saves time: whenever it cannot answer (gone, hung past the time limit, answering
// nonsense, refusing, or a keeper of another build), declined() says so, and the request is
// the program's own ExifTool's again, as if there were no keeper. One request at a time.
class KeeperClient : public QObject
{
    Q_OBJECT
public:
    // warmSeconds: how long the keeper stays after the last request. keeperProgram: the keeper
    // this program starts and is served by; empty: the one built with it (KeeperPlace::program()).
    KeeperClient(int warmSeconds, const QString &keeperProgram, QObject *parent = nullptr);
    ~KeeperClient() override;

    // Sends what is asked, for the ExifTool the program would run. True: answered() or
    // declined() follows, from the event loop. False: the keeper can take no such request
    // (there is no runtime folder, the photo path is relative or does not fit ExifTool's
    // argument file, or a keeper broke before), and nothing follows.
    bool ask(const ExifToolAsk &ask, const QString &exiftool, int timeLimit);
    // As ask(), before the application object exists: the request goes out now, on a connection
    // made without an event loop, so that the keeper answers while the window is built; what it
    // answers is read once the event loop runs. False where no keeper listens now: nothing
    // follows, and startWanted() starts one later, when it no longer slows this start down.
    bool askNow(const ExifToolAsk &ask, const QString &exiftool, int timeLimit);
    void startWanted();
    // Takes over a connection on which such a request went out: as askNow() after sending.
    void adoptAsked(int fd, const QString &exiftool, int timeLimit);
    // No keeper listened to a request sent before this client existed: one is started later,
    // as after askNow().
    void wantStart(const QString &exiftool);
    // A keeper can serve this program's requests (one has a place, and none has broken).
    bool canServe() const;
    // The request asked last is no longer wanted: no signal follows for it.
    void drop();

signals:
    // ExifTool ran with status 0; the outcome is the one a one-shot run would give.
    void answered(const ExifToolOutcome &outcome);
    void declined();

private:
    bool takes(const ExifToolAsk &ask) const;
    void begin(const ExifToolAsk &ask, const QString &exiftool, int timeLimit);
    // Takes over a connected socket: its answers are read from the event loop.
    void adopt(int fd);
    // The request goes out whole, or the connection is of no use.
    bool send();
    void readSocket();
    void take();
    void fail(bool startKeeper);
    void deliver(const std::optional<ExifToolOutcome> &outcome);
    void closeSocket();
    void startKeeper();

    int m_warmSeconds;
    QString m_program;
    QString m_folder;
    // A plain descriptor, not QLocalSocket: the program then loads no network library, which
    // a start would pay for before its first line runs.
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_buffer;
    QByteArray m_request; // not sent yet
    QString m_exiftool;
    bool m_waiting = false;
    // A keeper that hung or answered nonsense once is not asked again by this program.
    bool m_broken = false;
    bool m_startWanted = false; // none listened to askNow()
    // The keeper this program started last: until it listens, every request finds none, and a
    // second keeper started meanwhile would only find the first one's lock and end.
    qint64 m_startedKeeper = 0;
    quint64 m_serial = 0;       // tells a late signal of a dropped request from the current one
    QTimer m_timeLimit;
};
