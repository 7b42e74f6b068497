#include "pipeline/ExifToolService.h"

#include "pipeline/ExifToolCommand.h"
#include "pipeline/ProgramFolder.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <deque>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{

struct Terminal {
    const char *program;
    QStringList prefix; // options before the program to run
};

// In order of preference. Each form keeps the terminal in the foreground until the program
// inside it has ended, so the run lasts until the user presses a key for "-k".
const QList<Terminal> &terminals()
{
    static const QList<Terminal> list{
        {"x-terminal-emulator", {QStringLiteral("-e")}},
        {"xterm", {QStringLiteral("-e")}},
        {"konsole", {QStringLiteral("--nofork"), QStringLiteral("-e")}},
        {"xfce4-terminal", {QStringLiteral("--disable-server"), QStringLiteral("-x")}},
        {"gnome-terminal", {QStringLiteral("--wait"), QStringLiteral("--")}},
        {"mate-terminal", {QStringLiteral("--disable-factory"), QStringLiteral("-x")}},
        {"lxterminal", {QStringLiteral("--no-remote"), QStringLiteral("-e")}},
    };
    return list;
}

// ExifTool writes "{ready<N>}" and a line break to stdout as the last thing of a request. What
// the request printed before it may be binary and need not end with a line break ("-b"), so
// the marker is recognised only at the very end of what has arrived: ExifTool prints nothing
// more until it is sent the next request.
QByteArray readyMarker(int number)
{
    return "{ready" + QByteArray::number(number) + "}\n";
}

// The status of a request only shows on stderr, and only when asked for: "-echo4" prints its
// text there after all error messages of the request, with "${status}" replaced by the exit
// status a one-shot run would have ended with.
QByteArray statusPrefix(int number)
{
    return "{status" + QByteArray::number(number) + ' ';
}

// How long to wait for the status line once "{ready<N>}" has come. ExifTool writes it before
// "{ready<N>}", so it is normally there already; an ExifTool too old to know "-echo4" never
// writes it, and its answer is then not trusted.
constexpr int StatusLateness = 500;

// Moves the first whole line (without its line break) from buffer to line.
bool takeLine(QByteArray &buffer, QByteArray &line)
{
    const qsizetype end = buffer.indexOf('\n');
    if (end < 0)
        return false;
    line = buffer.left(end);
    buffer.remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

// Each process is started in a group of its own, so a kill also ends what a wrapper script or
// a terminal started inside it. Does not wait: QProcess reports the end through its signals.
void killGroup(QProcess *process)
{
    const qint64 pid = process->processId();
    if (pid > 0 && process->state() != QProcess::NotRunning)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    process->kill();
}

// For the program's end only, where no event loop will deliver the process's end any more.
void killGroupAndWait(QProcess *process)
{
    killGroup(process);
    process->waitForFinished(1000);
}

} // namespace

struct ExifToolService::Private {
    explicit Private(ExifToolService *service) : q(service)
    {
        limitTimer.setSingleShot(true);
        statusTimer.setSingleShot(true);
    }

    // Done: the outcome is known and waits to be delivered; the next job starts after that.
    enum class Stage { Idle, Kept, OneShot, Done };

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

    QProcess *kept = nullptr;
    quint64 keptSerial = 0; // tells a late signal of a replaced kept process from the current one
    QString keptProgram;
    QString keptFolder; // relative photo paths are resolved against it
    int keptNumber = 0; // of the last request sent to it
    bool readySeen = false;
    bool statusSeen = false;
    int status = -1;
    QByteArray outBuffer;
    QByteArray errBuffer;
    QByteArray errorText;
    QTimer limitTimer;
    QTimer statusTimer;

    // Processes given up on that have not ended yet.
    std::vector<QPointer<QProcess>> leaving;

    // Terminal runs cancelled while the user still reads them: they stay open for the user,
    // but no longer hold up the queue. Their end is still reported, so that the caller can
    // remove the report such a run wrote.
    struct Console {
        int id;
        QProcess *process;
        QString exiftool;
    };
    std::vector<Console> consoles;
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

    void start(const Queued &job)
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
        if (keepRunning && fitsArgumentFile(arguments)) {
            if (kept && (keptProgram != current.exiftool || keptFolder != QDir::currentPath()))
                discardKept(); // kept for another program or another folder: of no use here
            if (kept) {
                ask();
                return;
            }
            current.restartKept = true;
        }
        startOneShot(current.exiftool, arguments);
    }

    void startOneShot(const QString &executable, const QStringList &arguments)
    {
        auto *process = new QProcess(q);
        process->setProgram(executable);
        process->setArguments(arguments);
        if (current.inTerminal) {
            process->setStandardOutputFile(QProcess::nullDevice());
            process->setStandardErrorFile(QProcess::nullDevice());
        } else if (!current.job.captureOutput) {
            // ExifTool's own output goes to the report file; its count of files written is not needed.
            process->setStandardOutputFile(QProcess::nullDevice());
        }
        process->setStandardInputFile(QProcess::nullDevice());
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
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
        process->start();
    }

    // The user reads the console of the running request, which nobody waits for any more: it
    // goes aside, and the next request starts now.
    void setConsoleAside()
    {
        consoles.push_back({current.id, current.process, current.exiftool});
        current = Current();
        schedulePump();
        scheduleBusyUpdate();
    }

    void consoleEnded(int id)
    {
        const auto it = std::find_if(consoles.begin(), consoles.end(), [id](const Console &c) { return c.id == id; });
        if (it == consoles.end())
            return;
        QProcess *process = it->process;
        ExifToolOutcome outcome;
        outcome.program = it->exiftool;
        outcome.started = process->error() != QProcess::FailedToStart;
        outcome.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        consoles.erase(it);
        process->disconnect(q);
        process->deleteLater();
        const quint64 queuedIn = generation;
        QMetaObject::invokeMethod(
            q,
            [this, id, outcome, queuedIn] {
                if (queuedIn == generation)
                    emit q->finished(id, outcome);
            },
            Qt::QueuedConnection);
    }

    void oneShotEnded(int id)
    {
        consoleEnded(id);
        if (current.stage != Stage::OneShot || current.id != id || !current.process)
            return;
        QProcess *process = current.process;
        current.process = nullptr;
        process->disconnect(q);
        process->deleteLater();

        ExifToolOutcome outcome;
        outcome.program = current.exiftool;
        outcome.started = process->error() != QProcess::FailedToStart;
        outcome.aborted = current.killed;
        if (!outcome.started) {
            outcome.errorOutput = process->errorString();
        } else {
            outcome.crashed = !outcome.aborted && process->exitStatus() == QProcess::CrashExit;
            outcome.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
            if (!current.inTerminal) {
                outcome.errorOutput = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                if (current.job.captureOutput)
                    outcome.output = process->readAllStandardOutput();
            }
        }
        if (current.keptAnsweredWithError && outcome.started && !outcome.aborted && outcome.exitCode == 0) {
            // The kept process failed where a fresh ExifTool succeeds: it is in a bad state.
            discardKept();
            current.restartKept = true;
        }
        if (current.restartKept && outcome.started)
            startKept(current.exiftool);
        finish(outcome);
    }

    // The outcome is delivered from an event of the service itself, never from inside a
    // QProcess signal or a call of the caller's: a receiver may queue, cancel, abort, or even
    // destroy the service.
    void finish(const ExifToolOutcome &outcome)
    {
        current.stage = Stage::Done;
        current.outcome = outcome;
        // However the request was answered (kept, one-shot or not at all), a visible run that
        // had no terminal to run in is told so.
        current.outcome.noTerminal = current.noTerminal;
        if (!keepRunning && kept)
            retireKept();
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

    void startKept(const QString &executable)
    {
        if (!keepRunning || kept || executable.isEmpty())
            return;
        auto *process = new QProcess(q);
        process->setProgram(executable);
        process->setArguments(
            {QStringLiteral("-stay_open"), QStringLiteral("True"), QStringLiteral("-@"), QStringLiteral("-")});
        // A kept ExifTool whose parent is gone would poll its closed pipe for ever, so it dies
        // with the program even when the program itself is killed.
        process->setChildProcessModifier([] {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        });
        const quint64 serial = ++keptSerial;
        QObject::connect(process, &QProcess::readyReadStandardOutput, q, [this] { readOutput(); });
        QObject::connect(process, &QProcess::readyReadStandardError, q, [this] { readErrors(); });
        QObject::connect(process, &QProcess::finished, q, [this, serial] { keptGone(serial); });
        QObject::connect(process, &QProcess::errorOccurred, q, [this, serial](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                QTimer::singleShot(0, q, [this, serial] { keptGone(serial); });
        });
        kept = process;
        keptProgram = executable;
        keptFolder = QDir::currentPath();
        outBuffer.clear();
        errBuffer.clear();
        process->start();
    }

    void keptGone(quint64 serial)
    {
        if (!kept || serial != keptSerial)
            return;
        QProcess *process = kept;
        kept = nullptr;
        process->disconnect(q);
        process->deleteLater();
        if (current.stage == Stage::Kept)
            keptFailed();
    }

    // Kills the kept process; its end is collected in the background.
    void discardKept()
    {
        if (!kept)
            return;
        QProcess *process = kept;
        kept = nullptr;
        process->disconnect(q);
        killGroup(process);
        leave(process);
    }

    // Asks the idle kept process to end, and kills it if it has not after the grace time.
    void retireKept()
    {
        if (!kept)
            return;
        QProcess *process = kept;
        kept = nullptr;
        process->disconnect(q);
        if (process->state() == QProcess::Running) {
            process->write("-stay_open\nFalse\n");
            process->closeWriteChannel();
            QTimer::singleShot(GraceTime, process, [process] { killGroup(process); });
        } else {
            killGroup(process);
        }
        leave(process);
    }

    void leave(QProcess *process)
    {
        if (process->state() == QProcess::NotRunning) {
            process->deleteLater();
            return;
        }
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                process->deleteLater();
        });
        leaving.erase(std::remove(leaving.begin(), leaving.end(), nullptr), leaving.end());
        leaving.emplace_back(process);
    }

    void ask()
    {
        current.stage = Stage::Kept;
        const int number = ++keptNumber;
        readySeen = false;
        statusSeen = false;
        status = -1;
        outBuffer.clear();
        errBuffer.clear();
        errorText.clear();

        QByteArray request;
        for (const QString &argument : std::as_const(current.arguments))
            request += argument.toLocal8Bit() + '\n';
        request += "-echo4\n" + statusPrefix(number) + "${status}}\n";
        request += "-execute" + QByteArray::number(number) + '\n';
        kept->write(request);
        limitTimer.start(timeLimit);
    }

    void readOutput()
    {
        if (!kept)
            return;
        const QByteArray chunk = kept->readAllStandardOutput();
        if (current.stage != Stage::Kept || readySeen)
            return; // the count of files written between requests, or nothing of interest
        outBuffer += chunk;
        const QByteArray marker = readyMarker(keptNumber);
        if (!outBuffer.endsWith(marker)) {
            // Enough of the end is kept to find a marker that arrives in pieces.
            if (!current.job.captureOutput && outBuffer.size() > marker.size())
                outBuffer = outBuffer.right(marker.size());
            return;
        }
        outBuffer.chop(marker.size());
        readySeen = true;
        if (statusSeen)
            answered();
        else
            statusTimer.start(StatusLateness);
    }

    void readErrors()
    {
        if (!kept)
            return;
        errBuffer += kept->readAllStandardError();
        if (current.stage != Stage::Kept) {
            errBuffer.clear();
            return;
        }
        const QByteArray prefix = statusPrefix(keptNumber);
        QByteArray line;
        while (takeLine(errBuffer, line)) {
            if (statusSeen)
                continue;
            if (line.startsWith(prefix) && line.endsWith('}')) {
                bool ok = false;
                const int value = line.mid(prefix.size(), line.size() - prefix.size() - 1).toInt(&ok);
                statusSeen = true;
                status = ok ? value : -1;
            } else {
                errorText += line + '\n';
            }
        }
        if (statusSeen && readySeen)
            answered();
    }

    void answered()
    {
        limitTimer.stop();
        statusTimer.stop();
        if (statusSeen && status == 0) {
            ExifToolOutcome outcome;
            outcome.started = true;
            outcome.exitCode = 0;
            outcome.program = current.exiftool;
            outcome.errorOutput = QString::fromLocal8Bit(errorText).trimmed();
            if (current.job.captureOutput)
                outcome.output = outBuffer;
            outBuffer.clear();
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
        limitTimer.stop();
        statusTimer.stop();
        discardKept();
        current.restartKept = true;
        fallBack();
    }

    // The one-shot run decides this request: its outcome (and message) is the one the user
    // would have seen without a kept process.
    void fallBack()
    {
        outBuffer.clear();
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
    connect(&d->limitTimer, &QTimer::timeout, this, [this] {
        if (d->current.stage == Private::Stage::Kept)
            d->keptFailed();
    });
    connect(&d->statusTimer, &QTimer::timeout, this, [this] {
        if (d->current.stage == Private::Stage::Kept && d->readySeen)
            d->answered(); // without a status: not trusted
    });
}

ExifToolService::~ExifToolService()
{
    abortAll();
    if (QProcess *process = d->kept) {
        d->kept = nullptr;
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->write("-stay_open\nFalse\n");
            process->closeWriteChannel();
            if (!process->waitForFinished(GraceTime))
                killGroupAndWait(process);
        }
        delete process;
    }
    for (const QPointer<QProcess> &process : d->leaving) {
        if (process) {
            killGroupAndWait(process);
            delete process;
        }
    }
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
        d->retireKept();
}

bool ExifToolService::keepsRunning() const
{
    return d->keepRunning;
}

void ExifToolService::warmUp()
{
    if (!d->keepRunning)
        return;
    const QString exiftool = d->exiftool();
    if (exiftool.isEmpty())
        return;
    if (d->kept) {
        if (d->keptProgram == exiftool && d->keptFolder == QDir::currentPath())
            return;
        if (d->current.stage == Private::Stage::Kept)
            return;
        d->discardKept();
    }
    d->startKept(exiftool);
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
    if (current.stage == Private::Stage::OneShot && current.process) {
        if (current.inTerminal) {
            d->setConsoleAside();
            return;
        }
        current.killed = true;
        killGroup(current.process); // finished() follows when the process has ended
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
    for (const Private::Console &console : std::exchange(d->consoles, {})) {
        console.process->disconnect(this);
        killGroupAndWait(console.process);
        delete console.process;
    }
    d->limitTimer.stop();
    d->statusTimer.stop();
    if (d->current.stage == Private::Stage::OneShot && d->current.process) {
        QProcess *process = d->current.process;
        process->disconnect(this);
        killGroupAndWait(process);
        delete process;
    } else if (d->current.stage == Private::Stage::Kept && d->kept) {
        // It could write the report behind the window's back.
        QProcess *process = d->kept;
        d->kept = nullptr;
        process->disconnect(this);
        killGroupAndWait(process);
        delete process;
    }
    d->current = Private::Current();
    d->scheduleBusyUpdate();
}

bool ExifToolService::isBusy() const
{
    if (d->current.stage != Private::Stage::Idle && !d->current.job.background)
        return true;
    return std::any_of(d->queue.begin(), d->queue.end(), [](const Private::Queued &q) { return !q.job.background; });
}

bool ExifToolService::isIdle() const
{
    return d->current.stage == Private::Stage::Idle && d->queue.empty();
}

QList<int> ExifToolService::pending() const
{
    QList<int> ids;
    if (d->current.stage != Private::Stage::Idle)
        ids << d->current.id;
    for (const Private::Console &console : d->consoles)
        ids << console.id;
    for (const Private::Queued &queued : d->queue)
        ids << queued.id;
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool ExifToolService::isKeptProcessRunning() const
{
    return d->kept != nullptr;
}

bool ExifToolService::fitsArgumentFile(const QStringList &arguments)
{
    // ExifTool's own rewriting of argument-file lines: white space around "=" in "-TAG = VALUE".
    static const QRegularExpression rewritten(QStringLiteral("^-[-:\\w]+#?\\s*[-+<]?="));
    // Options that end the request early or change where the arguments come from.
    static const QRegularExpression steering(QStringLiteral("^-(stay_open|@|execute\\d*|common_args|config)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    for (const QString &argument : arguments) {
        if (argument.isEmpty() || argument.at(0).isSpace() || argument.startsWith(QLatin1Char('#')) ||
            argument.contains(QLatin1Char('\n')) || argument.contains(QLatin1Char('\r')))
            return false;
        if (rewritten.match(argument).hasMatch() || steering.match(argument).hasMatch())
            return false;
    }
    return true;
}

QStringList ExifToolService::terminalCommand(const QString &program, const QStringList &arguments)
{
    for (const Terminal &terminal : terminals()) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(terminal.program));
        if (!path.isEmpty())
            return QStringList{path} + terminal.prefix + QStringList{program} + arguments;
    }
    return QStringList();
}

QString describeFailure(const ExifToolOutcome &outcome, const QString &photo, const QString &reportPath)
{
    const QString shownPhoto = QDir::toNativeSeparators(photo);
    if (outcome.program.isEmpty())
        return QStringLiteral("ExifTool was not found, so no metadata can be shown for \"%1\". Put the program "
                              "\"exiftool\" into the folder \"%2\" or install it (Debian package "
                              "libimage-exiftool-perl).")
            .arg(shownPhoto, QDir::toNativeSeparators(ProgramFolder::path()));
    const QString shownProgram = QDir::toNativeSeparators(outcome.program);
    QString text;
    if (!outcome.started)
        text = QStringLiteral("ExifTool (\"%1\") could not be started for \"%2\".").arg(shownProgram, shownPhoto);
    else if (outcome.aborted)
        text = QStringLiteral("ExifTool was stopped before it wrote the report of \"%1\".").arg(shownPhoto);
    else if (outcome.crashed)
        text = QStringLiteral("ExifTool (\"%1\") crashed while reading \"%2\".").arg(shownProgram, shownPhoto);
    else if (outcome.exitCode != 0)
        text =
            QStringLiteral("ExifTool wrote no report for \"%1\" (exit code %2).").arg(shownPhoto).arg(outcome.exitCode);
    else
        text = QStringLiteral("ExifTool ended without writing the report \"%1\" for \"%2\".")
                   .arg(QDir::toNativeSeparators(reportPath), shownPhoto);
    if (!outcome.errorOutput.isEmpty())
        text += QStringLiteral("\n\n") + outcome.errorOutput;
    return text;
}
