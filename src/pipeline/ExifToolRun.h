#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QEventLoop;
class QProcess;

// ShellWarten's successor: runs ExifTool as a separate process and waits for it in a local event
// loop, woken by the process's own signals, so the window keeps painting and no time is lost
// polling.
class ExifToolRun : public QObject
{
    Q_OBJECT
public:
    struct Outcome {
        bool started = false; // the process (or its terminal) was started
        bool crashed = false;
        bool aborted = false; // ended by abort() or by destroying the runner
        int exitCode = -1;
        QString errorOutput; // ExifTool's stderr, trimmed; why the start failed when it did not start
        QString program;     // the program asked for (ExifTool, not the terminal around it)
    };

    explicit ExifToolRun(QObject *parent = nullptr);
    ~ExifToolRun() override; // kills a run still going

    bool isRunning() const;

    // Starts the program with the argument list (no shell) and returns when it has ended or could
    // not start; window events are processed meanwhile. visible: run inside a terminal emulator
    // when one is installed and wait for it to end; where none is installed, or when hidden, "-k"
    // is dropped from the arguments, as nobody could press the key it waits for. A second call
    // while a run is in progress starts nothing and returns an outcome that was not started.
    Outcome run(const QString &program, const QStringList &arguments, bool visible);

    // Ends the run in progress (the window is closing); run() then returns with aborted set.
    void abort();

    // The command line that runs program with arguments in a terminal emulator and lasts as long
    // as the program does; empty when no known terminal emulator is installed.
    static QStringList terminalCommand(const QString &program, const QStringList &arguments);

signals:
    void runningChanged(bool running);

private:
    QProcess *m_process = nullptr; // the process of the run in progress (owned by run())
    QEventLoop *m_loop = nullptr;
    bool m_aborted = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// One clear message for a run that produced no report of the photo, naming the photo, with
// ExifTool's own error text where it printed one (ExifTool missing or not startable, crashed,
// stopped, or ended without writing the report). Empty when the photo's report exists.
QString describeFailure(const ExifToolRun::Outcome &outcome, const QString &photo, const QString &reportPath);
