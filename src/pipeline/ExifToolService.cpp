#include "pipeline/ExifToolService.h"

#include "exiftool/EarlyExifTool.h"
#include "exiftool/EarlyHandover.h"
#include "exiftool/ExifToolCommand.h"
#include "exiftool/KeptExifTool.h"
#include "exiftool/ProcessGroup.h"
#include "exiftool/TerminalCommand.h"
#include "pipeline/ConsoleRuns.h"
#include "pipeline/KeeperClient.h"
#include "pipeline/OneShotRun.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <utility>

struct ExifToolService::Private {
    explicit Private(ExifToolService *service) : q(service) {}

    // Done: the outcome is known and waits to be delivered; the next job starts after that.
    enum class Stage { Idle, Keeper, Early, Kept, OneShot, Done };

    struct Queued {
        int id;
        ExifToolJob job;
    };

    // The job being worked on.
    struct Current {
        int id = 0;
        ExifToolJob job;
        Stage stage = Stage::Idle;
        QString exiftool;
        QStringList arguments;       // as ExifTool gets them ("-k" dropped when hidden)
        QProcess *process = nullptr; // the one-shot run (or the terminal around it)
        bool inTerminal = false;
        bool noTerminal = false;
        bool cancelled = false; // cancel() came while it ran
        bool killed = false;    // ... and ended it
        bool restartKept = false;
        bool keptAnsweredWithError = false;
        ExifToolOutcome outcome;
    };

    ExifToolService *q;
    QString program;
    bool keepRunning = true;
    int timeLimit = DefaultTimeLimit;

    int nextId = 1;
    std::deque<Queued> queue;
    Current current;
    KeptExifTool kept;
    ConsoleRuns consoles;
    std::unique_ptr<KeeperClient> keeper; // the user's ExifTool keeper, where one is used
    std::unique_ptr<EarlyExifTool> early; // the request of Stage::Early
    bool warmWanted = false;              // warmUp() came while the kept process had to wait
    // Counts abortAll() calls: an outcome queued before one is not delivered after it.
    quint64 generation = 0;

    bool pumpScheduled = false;
    bool busyScheduled = false;
    bool busyShown = false;

    QString exiftool() const { return program.isEmpty() ? ExifToolCommand::locate() : program; }

    void schedulePump()
    {
        if (pumpScheduled)
            return;
        pumpScheduled = true;
        QMetaObject::invokeMethod(
            q,
            [this] {
                pumpScheduled = false;
                pump();
            },
            Qt::QueuedConnection);
    }

    void scheduleBusyUpdate()
    {
        if (busyScheduled)
            return;
        busyScheduled = true;
        QMetaObject::invokeMethod(
            q,
            [this] {
                busyScheduled = false;
                const bool busy = q->isBusy();
                if (busy == busyShown)
                    return;
                busyShown = busy;
                emit q->busyChanged(busy);
            },
            Qt::QueuedConnection);
    }

    // Delivered from an event of the service itself, never from inside a QProcess signal or a
    // call of the caller's: a receiver may queue, cancel, abort, or even destroy the service.
    void deliver(int id, const ExifToolOutcome &outcome)
    {
        const quint64 queuedIn = generation;
        QMetaObject::invokeMethod(
            q,
            [this, id, outcome, queuedIn] {
                if (queuedIn == generation)
                    emit q->finished(id, outcome);
            },
            Qt::QueuedConnection);
    }

    void pump()
    {
        if (current.stage != Stage::Idle || queue.empty())
            return;
        auto next = std::find_if(queue.begin(), queue.end(), [](const Queued &q) { return !q.job.background; });
        if (next == queue.end())
            next = queue.begin();
        const Queued job = *next;
        queue.erase(next);
        start(job);
    }

    void start(const Queued &job, bool askKeeper = true)
    {
        current = Current();
        current.id = job.id;
        current.job = job.job;
        current.exiftool = exiftool();
        if (current.exiftool.isEmpty()) {
            ExifToolOutcome outcome;
            outcome.errorOutput = QStringLiteral("ExifTool was not found.");
            finish(outcome);
            return;
        }
        if (askKeeper && !job.job.visible && keeper && keeper->ask(job.job.ask, current.exiftool, timeLimit)) {
            current.stage = Stage::Keeper;
            return;
        }
        QStringList arguments = job.job.arguments;
        if (job.job.visible) {
            const QStringList terminal = terminalCommand(current.exiftool, arguments);
            if (!terminal.isEmpty()) {
                current.inTerminal = true;
                current.arguments = arguments;
                startOneShot(terminal.first(), terminal.mid(1));
                return;
            }
            current.noTerminal = true;
        }
        // Nobody could press the key "-k" waits for.
        arguments.removeAll(QStringLiteral("-k"));
        current.arguments = arguments;
        if (keepRunning && KeptExifTool::fitsArgumentFile(arguments)) {
            // Kept for another program or folder, or due for a fresh start: of no use here.
            if (kept.isRunning() && !kept.serves(current.exiftool))
                kept.end();
            if (kept.isRunning()) {
                current.stage = Stage::Kept;
                kept.ask(arguments, job.job.captureOutput, timeLimit);
                return;
            }
            current.restartKept = true;
        }
        startOneShot(current.exiftool, arguments);
    }

    void startEarly(EarlyHandover *handed)
    {
        // Whatever of the launcher's is not taken over ends here.
        const auto endHanded = qScopeGuard([handed] {
            if (handed)
                handed->end();
        });
        const auto first = std::find_if(queue.begin(), queue.end(), [](const Queued &q) { return !q.job.background; });
        // A console waits for the window it belongs to.
        if (current.stage != Stage::Idle || first == queue.end() || first->job.visible)
            return;
        const Queued job = *first;
        const QString executable = exiftool();
        if (executable.isEmpty())
            return;
        QStringList arguments = job.job.arguments;
        arguments.removeAll(QStringLiteral("-k"));
        // The launcher's request is used only where it asked the same of the same ExifTool.
        const bool same = handed && job.job.ask.kind != ExifToolAsk::Kind::None && handed->ask == job.job.ask &&
                          handed->exiftool == executable;
        if (same && handed->keeperFd >= 0 && keeper) {
            keeper->adoptAsked(std::exchange(handed->keeperFd, -1), executable, timeLimit);
            current.stage = Stage::Keeper;
        } else if (!same && keeper && keeper->askNow(job.job.ask, executable, timeLimit)) {
            current.stage = Stage::Keeper;
        } else {
            if (same && handed->keeperWanted && keeper)
                keeper->wantStart(executable);
            early = same && handed->run.arguments == arguments ? EarlyExifTool::adopt(std::exchange(handed->run, {}))
                                                                : EarlyExifTool::start(executable, arguments);
            if (!early)
                return; // pump() tries again, the usual way
            current.stage = Stage::Early;
            current.arguments = arguments;
            QObject::connect(early.get(), &EarlyExifTool::ended, q,
                             [this](const EarlyExifTool::End &end) { earlyEnded(end); });
            QMetaObject::invokeMethod(early.get(), &EarlyExifTool::watch, Qt::QueuedConnection);
        }
        queue.erase(first);
        current.id = job.id;
        current.job = job.job;
        current.exiftool = executable;
    }

    void earlyEnded(const EarlyExifTool::End &end)
    {
        early.release()->deleteLater();
        ExifToolOutcome outcome;
        outcome.started = true;
        outcome.crashed = end.crashed;
        outcome.exitCode = end.exitCode;
        outcome.program = current.exiftool;
        outcome.errorOutput = QString::fromLocal8Bit(end.errorOutput).trimmed();
        if (current.job.captureOutput)
            outcome.output = end.output;
        finish(outcome);
        // Once the first photo is shown, the ExifTool kept for the next ones may load.
        QTimer::singleShot(0, q, [this, exiftool = current.exiftool] {
            if (keeper)
                keeper->startWanted();
            if (std::exchange(warmWanted, false))
                startKept(exiftool);
        });
    }

    void startOneShot(const QString &executable, const QStringList &arguments)
    {
        QProcess *process =
            OneShotRun::start(q, executable, arguments, {current.inTerminal, current.job.captureOutput});
        current.stage = Stage::OneShot;
        current.process = process;
        const int id = current.id;
        QObject::connect(process, &QProcess::finished, q, [this, id] { oneShotEnded(id); });
        QObject::connect(process, &QProcess::errorOccurred, q, [this, id](QProcess::ProcessError error) {
            // Only a failed start ends the process without a finished signal to follow. It may
            // come from inside start(), so the end is taken from the event loop.
            if (error == QProcess::FailedToStart)
                QTimer::singleShot(0, q, [this, id] { oneShotEnded(id); });
        });
    }

    // The user reads the console of the running request, which nobody waits for any more: it
    // goes aside, and the next request starts now.
    void setConsoleAside()
    {
        consoles.setAside(current.id, current.process, current.exiftool);
        current = Current();
        schedulePump();
        scheduleBusyUpdate();
    }

    void oneShotEnded(int id)
    {
        if (ExifToolOutcome outcome; consoles.takeEnded(id, &outcome)) {
            deliver(id, outcome);
            return;
        }
        if (current.stage != Stage::OneShot || current.id != id || !current.process)
            return;
        QProcess *process = std::exchange(current.process, nullptr);
        process->disconnect(q);
        process->deleteLater();
        const ExifToolOutcome outcome = OneShotRun::outcome(
            process, current.exiftool, {current.inTerminal, current.job.captureOutput}, current.killed);
        if (current.keptAnsweredWithError && outcome.started && !outcome.aborted && outcome.exitCode == 0) {
            // The kept process failed where a fresh ExifTool succeeds: it is in a bad state.
            kept.kill();
            current.restartKept = true;
        }
        if (current.restartKept && outcome.started)
            startKept(current.exiftool);
        finish(outcome);
    }

    void finish(const ExifToolOutcome &outcome)
    {
        current.stage = Stage::Done;
        current.outcome = outcome;
        // However the request was answered (kept, one-shot or not at all), a visible run that
        // had no terminal to run in is told so.
        current.outcome.noTerminal = current.noTerminal;
        if (!keepRunning)
            kept.end();
        const int id = current.id;
        QMetaObject::invokeMethod(
            q,
            [this, id] {
                if (current.stage != Stage::Done || current.id != id)
                    return; // abortAll() came first
                const ExifToolOutcome outcome = current.outcome;
                current = Current();
                schedulePump();
                scheduleBusyUpdate();
                emit q->finished(id, outcome);
            },
            Qt::QueuedConnection);
    }

    // The user's keeper holds an ExifTool warm already: a second one would only take memory.
    bool keeperServes() const { return keeper && keeper->canServe(); }

    void startKept(const QString &executable)
    {
        if (keepRunning && !kept.isRunning() && !keeperServes())
            kept.start(executable);
    }

    void keptAnswered(const KeptExifTool::Answer &answer)
    {
        if (current.stage != Stage::Kept)
            return;
        if (answer.trusted) {
            ExifToolOutcome outcome;
            outcome.started = true;
            outcome.exitCode = 0;
            outcome.program = current.exiftool;
            outcome.errorOutput = answer.errorText;
            outcome.output = answer.output;
            finish(outcome);
            return;
        }
        // An error status, or none at all: the one-shot run decides.
        current.keptAnsweredWithError = true;
        fallBack();
    }

    // The kept process died or hung: a fresh one serves the next request.
    void keptFailed()
    {
        if (current.stage != Stage::Kept)
            return;
        current.restartKept = true;
        fallBack();
    }

    // The one-shot run decides this request: its outcome (and message) is the one the user
    // would have seen without a kept process.
    void fallBack()
    {
        if (current.cancelled) {
            // Nobody waits for this request any more: it is not run again.
            ExifToolOutcome outcome;
            outcome.started = true;
            outcome.aborted = true;
            outcome.program = current.exiftool;
            if (current.restartKept)
                startKept(current.exiftool);
            finish(outcome);
            return;
        }
        startOneShot(current.exiftool, current.arguments);
    }
};

ExifToolService::ExifToolService(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this))
{
    connect(&d->kept, &KeptExifTool::answered, this,
            [this](const KeptExifTool::Answer &answer) { d->keptAnswered(answer); });
    connect(&d->kept, &KeptExifTool::failed, this, [this] { d->keptFailed(); });
}

ExifToolService::~ExifToolService()
{
    abortAll();
}

void ExifToolService::setProgram(const QString &exiftool)
{
    d->program = exiftool;
}

QString ExifToolService::program() const
{
    return d->program;
}

void ExifToolService::setKeepRunning(bool keep)
{
    d->keepRunning = keep;
    // A request the kept process is working on is left to end; finish() ends it then.
    if (!keep && d->current.stage != Private::Stage::Kept)
        d->kept.end();
}

bool ExifToolService::keepsRunning() const
{
    return d->keepRunning;
}

void ExifToolService::warmUp()
{
    if (!d->keepRunning || d->keeperServes())
        return;
    // A second Perl loading beside the first photo's ExifTool would only slow that one down.
    if (!QCoreApplication::instance() || d->current.stage == Private::Stage::Early) {
        d->warmWanted = true;
        return;
    }
    const QString exiftool = d->exiftool();
    if (exiftool.isEmpty() || d->kept.serves(exiftool) || d->kept.isAnswering())
        return;
    d->kept.start(exiftool);
}

void ExifToolService::useKeeper(int warmSeconds, const QString &keeperProgram)
{
    d->keeper.reset(warmSeconds > 0 ? new KeeperClient(warmSeconds, keeperProgram) : nullptr);
    if (!d->keeper)
        return;
    // Only the request in Stage::Keeper hears from it; declined, it goes on as if there were none.
    connect(d->keeper.get(), &KeeperClient::answered, this, [this](const ExifToolOutcome &o) { d->finish(o); });
    connect(d->keeper.get(), &KeeperClient::declined, this, [this] {
        d->current.cancelled ? d->fallBack() : d->start({d->current.id, d->current.job}, false);
    });
}

bool ExifToolService::startBeforeEventLoop(EarlyHandover *handed)
{
    d->startEarly(handed);
    d->scheduleBusyUpdate();
    return d->current.stage == Private::Stage::Early;
}

void ExifToolService::setTimeLimit(int ms)
{
    d->timeLimit = qMax(1, ms);
}

int ExifToolService::request(const ExifToolJob &job)
{
    const int id = d->nextId++;
    d->queue.push_back({id, job});
    d->schedulePump();
    d->scheduleBusyUpdate();
    return id;
}

void ExifToolService::cancel(int id)
{
    const auto queued =
        std::find_if(d->queue.begin(), d->queue.end(), [id](const Private::Queued &q) { return q.id == id; });
    if (queued != d->queue.end()) {
        d->queue.erase(queued);
        d->scheduleBusyUpdate();
        return;
    }
    Private::Current &current = d->current;
    if (current.stage == Private::Stage::Idle || current.id != id || current.cancelled)
        return;
    current.cancelled = true;
    if (current.stage == Private::Stage::Early) {
        d->early.reset();
        ExifToolOutcome outcome;
        outcome.started = outcome.aborted = true;
        outcome.program = current.exiftool;
        d->finish(outcome);
        return;
    }
    if (current.stage == Private::Stage::OneShot && current.process) {
        if (current.inTerminal) {
            d->setConsoleAside();
            return;
        }
        current.killed = true;
        ProcessGroup::kill(current.process); // finished() follows when the process has ended
    }
}

void ExifToolService::promote(int id)
{
    for (Private::Queued &queued : d->queue) {
        if (queued.id == id)
            queued.job.background = false;
    }
    if (d->current.stage != Private::Stage::Idle && d->current.id == id)
        d->current.job.background = false;
    d->scheduleBusyUpdate();
}

void ExifToolService::abortAll()
{
    ++d->generation;
    d->queue.clear();
    // Their reports go with the program, and a console left open would outlive that.
    d->consoles.closeAll();
    if (d->current.stage == Private::Stage::OneShot && d->current.process) {
        QProcess *process = d->current.process;
        process->disconnect(this);
        ProcessGroup::killAndWait(process);
        delete process;
    } else if (d->current.stage == Private::Stage::Kept) {
        d->kept.killAndWait(); // it could write the report behind the window's back
    } else if (d->current.stage == Private::Stage::Keeper) {
        d->keeper->drop();
    }
    d->early.reset();
    d->current = Private::Current();
    d->scheduleBusyUpdate();
}

bool ExifToolService::isBusy() const
{
    if (d->current.stage != Private::Stage::Idle && !d->current.job.background)
        return true;
    return std::any_of(d->queue.begin(), d->queue.end(), [](const Private::Queued &q) { return !q.job.background; });
}

QList<int> ExifToolService::pending() const
{
    QList<int> ids;
    if (d->current.stage != Private::Stage::Idle)
        ids << d->current.id;
    ids << d->consoles.ids();
    for (const Private::Queued &queued : d->queue)
        ids << queued.id;
    std::sort(ids.begin(), ids.end());
    return ids;
}
