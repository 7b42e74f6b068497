#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QSocketNotifier;
struct SpawnedProcess;

// A one-shot ExifTool started before the application object exists, when QProcess cannot run
// yet: Perl loads while the toolkit and the window are set up. It runs in a process group of
// its own, reads nothing, and its output is gathered once the event loop runs.
class EarlyExifTool : public QObject
{
    Q_OBJECT
public:
    struct End {
        bool crashed = false;
        int exitCode = -1;
        QByteArray output;
        QByteArray errorOutput;
    };

    // A started run as plain data, as the launcher hands it to the window library: no object
    // of either side crosses. Whoever holds one adopts it or ends it (end()).
    struct Handle {
        QString program;
        QStringList arguments;
        qint64 pid = -1;
        int out = -1, err = -1; // read ends of standard output and error
        int exitFd = -1;        // readable once the process has ended, where the system offers one
        bool valid() const { return pid > 0; }
        void end(); // ends the whole group, reaps it and closes what is open
    };

    // Starts program with arguments now; an invalid handle when it could not be started.
    static Handle spawn(const QString &program, const QStringList &arguments);
    // A process already started as program with arguments, as a handle; it holds nothing of
    // the process's standard input.
    static Handle adopted(const QString &program, const QStringList &arguments, const SpawnedProcess &process);
    // Takes over a started run; nullptr for an invalid handle.
    static std::unique_ptr<EarlyExifTool> adopt(Handle handle);
    // spawn() and adopt() in one.
    static std::unique_ptr<EarlyExifTool> start(const QString &program, const QStringList &arguments);
    ~EarlyExifTool() override; // as kill()

    QString program() const { return m_program; }
    QStringList arguments() const { return m_arguments; }

    // From the event loop: its output is read as it comes, and ended() follows once.
    void watch();
    // Ends the whole group and reaps it; no ended() follows.
    void kill();

signals:
    void ended(const EarlyExifTool::End &end);

private:
    EarlyExifTool() = default;
    void readFrom(int which);
    void reap();
    void dropExitWatch();

    QString m_program;
    QStringList m_arguments;
    qint64 m_pid = -1;
    int m_fds[2] = {-1, -1}; // standard output and error, read ends
    QSocketNotifier *m_notifiers[2] = {nullptr, nullptr};
    int m_exitFd = -1; // readable once the process has ended, where the system offers one
    QSocketNotifier *m_exitNotifier = nullptr;
    End m_end;
};
