#pragma once

#include "pipeline/ExifToolRun.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QEventLoop;
class QProcess;

// One ExifTool kept running in its "-stay_open True -@ -" mode, so that a photo does not pay
// for loading Perl and ExifTool's modules again. Each run sends the same arguments as the
// one-shot command line, one per line, ended by "-execute<N>"; the report is written to the
// same place as before. Whenever the kept process cannot give a trustworthy answer (missing,
// died, hung past the time limit, answered with an error), that request is run once more as a
// one-shot ExifToolRun, so the caller always sees the outcome the one-shot run would give.
class ExifToolKept : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeLimit = 10000; // ms
    static constexpr int GraceTime = 1000;         // ms between "-stay_open False" and a kill

    explicit ExifToolKept(QObject *parent = nullptr);
    ~ExifToolKept() override; // asks the kept process to end, kills it after GraceTime

    void setTimeLimit(int ms);
    int timeLimit() const { return m_timeLimit; }

    // Starts the kept process in the background and returns at once. Nothing happens when it
    // already runs for this program; a different program replaces it.
    void start(const QString &exiftool);
    bool isRunning() const;

    // Runs ExifTool on the arguments and returns when its report is written (window events are
    // processed meanwhile). "-k" is dropped: the kept process's standard input carries the
    // arguments, so no key could be pressed. A second call while one is in progress starts
    // nothing and returns an outcome that was not started, as ExifToolRun does.
    ExifToolRun::Outcome run(const QString &exiftool, const QStringList &arguments);

    // Ends the request in progress (the window is closing): the kept process is killed, so it
    // cannot write a report behind the window's back; run() then returns with aborted set.
    void abort();
    // Ends the kept process now, busy or not (kept runs switched off).
    void end();
    bool isBusy() const { return m_busy; }

    // True when ExifTool would read every argument back unchanged from its line-based argument
    // file: no line breaks, no leading white space, not empty, no "#" comment, no "-tag = value"
    // that it would rewrite, and none of the options that steer the argument file itself.
    static bool fitsArgumentFile(const QStringList &arguments);

signals:
    void busyChanged(bool busy);

private:
    enum class Answer { Pending, Answered, Died, TimedOut, Aborted };

    Answer ask(const QStringList &arguments);
    void stop(int graceMs);
    void readOutput();
    void readErrors();
    void setBusy(bool busy);

    QProcess *m_process = nullptr;
    QString m_program;    // what m_process runs
    QString m_workingDir; // relative photo paths are resolved against it
    int m_timeLimit = DefaultTimeLimit;
    bool m_busy = false;
    ExifToolRun m_oneShot;

    // The request in progress.
    int m_number = 0;
    QEventLoop *m_loop = nullptr;
    Answer m_answer = Answer::Pending;
    bool m_readySeen = false;
    bool m_statusSeen = false;
    int m_status = 0;
    QByteArray m_outBuffer;
    QByteArray m_errBuffer;
    QByteArray m_errorText;

    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
