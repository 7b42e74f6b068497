#pragma once

#include "exiftool/ExifToolCommand.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

struct EarlyHandover;

// What one ExifTool request asks for.
struct ExifToolJob {
    QStringList arguments;      // ExifTool's arguments, without the program
    bool visible = false;       // "ExifTool show": a one-shot run inside a terminal emulator
    bool captureOutput = false; // hand ExifTool's standard output back in ExifToolOutcome::output
    // Work the user did not ask for (preparing the next photo): it waits while any other
    // request is queued or running, and never shows the busy pointer.
    bool background = false;
    // What the arguments ask for, in the program's terms, where a request is one of those; the
    // user's ExifTool keeper can answer only such requests.
    ExifToolAsk ask;

    // A request for what is asked, answered on standard output.
    static ExifToolJob asking(const ExifToolAsk &ask, bool background = false)
    {
        ExifToolJob job;
        job.arguments = ExifToolCommand::forAsk(ask);
        job.captureOutput = true;
        job.background = background;
        job.ask = ask;
        return job;
    }
};

// How one request ended.
struct ExifToolOutcome {
    bool started = false; // ExifTool (or the terminal around it) was started
    bool crashed = false;
    bool aborted = false; // ended by cancel(), abortAll() or the service's end
    int exitCode = -1;
    QString errorOutput;     // ExifTool's stderr, trimmed; why the start failed when it did not start
    QString program;         // the ExifTool asked for; empty when none was found
    QByteArray output;       // standard output, when the job asked for it
    bool noTerminal = false; // visible was asked for, but no terminal emulator is installed: ran hidden
};

// Every ExifTool run of the program goes through here. Requests are numbered and queued; one
// runs at a time, so two runs never write the same report at once. Hidden requests go to one
// ExifTool kept running (KeptExifTool), so that a photo does not pay for loading Perl and
// ExifTool's modules again; whenever the kept process cannot give a trustworthy answer
// (missing, died, hung past the time limit, answered with an error status, or given arguments
// its line-based argument file would change), that request is run as a one-shot process, so
// the caller always sees the outcome a one-shot run gives. No call waits:
// results arrive only through finished(), never from inside request(), and no event loop is
// ever nested.
class ExifToolService : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeLimit = 10000; // ms a kept request may take before it is given up

    explicit ExifToolService(QObject *parent = nullptr);
    ~ExifToolService() override; // as abortAll(), then the kept process is asked to end

    // The ExifTool to run; empty (the default) means ExifToolCommand::locate() at each request,
    // so that an ExifTool dropped into the program's folder is found without a restart.
    void setProgram(const QString &exiftool);
    QString program() const;

    // On (the default): hidden requests go to the kept process, started by warmUp() or by the
    // first such request. Off: every request starts ExifTool anew, and a kept process ends.
    void setKeepRunning(bool keep);
    bool keepsRunning() const;
    // Starts the kept process in the background now and returns at once (does nothing when it
    // is off, already running, no ExifTool is found, or the user's keeper serves). Asked before
    // the event loop, or while startBeforeEventLoop()'s request runs, it starts once that ended.
    void warmUp();
    void setTimeLimit(int ms);
    // Requests for what ExifTool prints (those with an ask) go to the user's ExifTool keeper
    // first, which stays warmSeconds after its last request and is started where none
    // answers; 0 (the default): none is used. Whichever answers, the outcome is the same.
    // keeperProgram: the keeper to use; empty: the one built with the program.
    void useKeeper(int warmSeconds, const QString &keeperProgram = QString());

    // Before the application object exists: the first queued request the user waits for starts
    // now, at the user's ExifTool keeper or as an ExifTool of its own, so that Perl loads (or the
    // keeper answers) while the toolkit and the window are set up. Its outcome comes from the
    // event loop as any other; the kept process waits until it has ended. True: ExifTool
    // itself loads in this program now (not only the keeper asked). handed: what the launcher
    // started already, taken over where it is that same request, and ended otherwise.
    bool startBeforeEventLoop(EarlyHandover *handed = nullptr);

    // Queues the job and returns its id (from 1 up). finished(id, …) follows exactly once,
    // after request() has returned, unless the job is cancelled before it starts or
    // abortAll() is called first.
    int request(const ExifToolJob &job);
    // A queued job is dropped without a finished() signal. A running one-shot hidden run is
    // killed (its whole process group) and finishes with aborted set. A request the kept
    // process is already working on is left to end; finished() then reports it as it ended (a
    // kept request whose answer cannot be trusted is then not run again one-shot: it finishes
    // with aborted set). A run in a terminal the user is reading stays open for the user but
    // no longer holds up the queue: the next request starts at once, and finished() reports
    // the run as it ended, whenever the user closes it (until then pending() lists it).
    void cancel(int id);
    // A background job the user now waits for after all: it goes before the other background
    // jobs and counts as busy.
    void promote(int id);
    // The program is closing: every queued job is dropped, every running one killed, the kept
    // process with it; no finished() signal follows for any of them.
    void abortAll();

    bool isBusy() const;        // a job is queued or running that is not in the background
    QList<int> pending() const; // ids queued or running, oldest first

signals:
    // Both signals come from the event loop, never from inside a call of the service; a
    // receiver may queue, cancel, abort, or delete the service.
    void finished(int id, const ExifToolOutcome &outcome);
    // A request the user waits for is queued or running (true), or none is left (false), also
    // after abortAll().
    void busyChanged(bool busy);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
