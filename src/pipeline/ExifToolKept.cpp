#include "pipeline/ExifToolKept.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace
{

// ExifTool writes "{ready<N>}" to stdout when a request is done, but the status of the request
// only shows on stderr, and only when asked for: "-echo4" prints its text there after all
// error messages of the request, with "${status}" replaced by the exit status a one-shot run
// would have ended with.
QByteArray readyLine(int number)
{
    return "{ready" + QByteArray::number(number) + '}';
}
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

void killGroup(QProcess *process)
{
    const qint64 pid = process->processId();
    if (pid > 0 && process->state() != QProcess::NotRunning)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    process->kill();
    process->waitForFinished(1000);
}

} // namespace

ExifToolKept::ExifToolKept(QObject *parent) : QObject(parent)
{
}

ExifToolKept::~ExifToolKept()
{
    *m_alive = false;
    if (m_loop) {
        // A request is in progress: ExifTool would only read "-stay_open False" after it.
        m_answer = Answer::Aborted;
        m_loop->quit();
        stop(0);
    } else {
        stop(GraceTime);
    }
}

void ExifToolKept::setTimeLimit(int ms)
{
    m_timeLimit = qMax(1, ms);
}

bool ExifToolKept::isRunning() const
{
    return m_process != nullptr;
}

void ExifToolKept::setBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

void ExifToolKept::start(const QString &exiftool)
{
    if (exiftool.isEmpty() || m_loop)
        return;
    if (m_process && m_program == exiftool && m_workingDir == QDir::currentPath())
        return;
    stop(0);

    auto *process = new QProcess(this);
    process->setProgram(exiftool);
    process->setArguments(
        {QStringLiteral("-stay_open"), QStringLiteral("True"), QStringLiteral("-@"), QStringLiteral("-")});
    // Its own group, so that a kill also ends what a wrapper script started. A kept ExifTool
    // whose parent is gone would poll its closed pipe for ever, so it dies with the program
    // even when the program itself is killed.
    process->setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    connect(process, &QProcess::readyReadStandardOutput, this, &ExifToolKept::readOutput);
    connect(process, &QProcess::readyReadStandardError, this, &ExifToolKept::readErrors);
    auto gone = [this, process] {
        if (process != m_process)
            return;
        m_process = nullptr;
        process->disconnect(this);
        process->deleteLater();
        if (m_loop && m_answer == Answer::Pending) {
            m_answer = Answer::Died;
            m_loop->quit();
        }
    };
    connect(process, &QProcess::finished, this, gone);
    connect(process, &QProcess::errorOccurred, this, [gone](QProcess::ProcessError error) {
        // Only a failed start ends the process without a finished signal to follow.
        if (error == QProcess::FailedToStart)
            gone();
    });

    m_process = process;
    m_program = exiftool;
    m_workingDir = QDir::currentPath();
    m_outBuffer.clear();
    m_errBuffer.clear();
    process->start();
}

void ExifToolKept::stop(int graceMs)
{
    if (!m_process)
        return;
    QProcess *process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    if (graceMs > 0 && process->state() != QProcess::NotRunning) {
        process->write("-stay_open\nFalse\n");
        process->closeWriteChannel();
        if (process->waitForFinished(graceMs)) {
            delete process;
            return;
        }
    }
    killGroup(process);
    delete process;
}

bool ExifToolKept::fitsArgumentFile(const QStringList &arguments)
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

ExifToolRun::Outcome ExifToolKept::run(const QString &exiftool, const QStringList &arguments)
{
    if (m_busy) {
        ExifToolRun::Outcome refused;
        refused.program = exiftool;
        refused.errorOutput = QStringLiteral("ExifTool is still working on the previous photo.");
        return refused;
    }
    QStringList args = arguments;
    args.removeAll(QStringLiteral("-k"));

    const std::shared_ptr<bool> alive = m_alive;
    setBusy(true);
    bool restart = false;
    bool answeredWithError = false;
    if (!exiftool.isEmpty() && fitsArgumentFile(args)) {
        if (m_process && (m_program != exiftool || m_workingDir != QDir::currentPath()))
            stop(0); // kept for another program or another folder: of no use for this request
        if (!m_process) {
            restart = true;
        } else {
            const Answer answer = ask(args);
            if (!*alive || answer == Answer::Aborted) {
                ExifToolRun::Outcome aborted;
                aborted.started = true;
                aborted.aborted = true;
                aborted.program = exiftool;
                if (*alive)
                    setBusy(false);
                return aborted;
            }
            if (answer == Answer::Answered && m_statusSeen && m_status == 0) {
                ExifToolRun::Outcome outcome;
                outcome.started = true;
                outcome.exitCode = 0;
                outcome.program = exiftool;
                outcome.errorOutput = QString::fromLocal8Bit(m_errorText).trimmed();
                setBusy(false);
                return outcome;
            }
            if (answer == Answer::Answered) {
                answeredWithError = true;
            } else {
                stop(0); // dead or hung: a fresh one serves the next request
                restart = true;
            }
        }
    }

    // The one-shot run decides this request: its outcome (and message) is the one the user
    // would have seen without a kept process.
    ExifToolRun::Outcome outcome = m_oneShot.run(exiftool, args, false);
    if (!*alive)
        return outcome;
    if (answeredWithError && outcome.started && !outcome.aborted && outcome.exitCode == 0) {
        // The kept process failed where a fresh ExifTool succeeds: it is in a bad state.
        stop(0);
        restart = true;
    }
    if (restart && outcome.started && !outcome.aborted)
        start(exiftool);
    setBusy(false);
    return outcome;
}

ExifToolKept::Answer ExifToolKept::ask(const QStringList &arguments)
{
    const int number = ++m_number;
    m_answer = Answer::Pending;
    m_readySeen = false;
    m_statusSeen = false;
    m_status = -1;
    m_errorText.clear();

    QByteArray request;
    for (const QString &argument : arguments)
        request += argument.toLocal8Bit() + '\n';
    request += "-echo4\n" + statusPrefix(number) + "${status}}\n";
    request += "-execute" + QByteArray::number(number) + '\n';

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, [this, &loop] {
        if (m_answer == Answer::Pending)
            m_answer = Answer::TimedOut;
        loop.quit();
    });
    const std::shared_ptr<bool> alive = m_alive;
    m_loop = &loop;
    m_process->write(request);
    limit.start(m_timeLimit);
    if (m_answer == Answer::Pending)
        loop.exec();
    if (!*alive)
        return Answer::Aborted;
    m_loop = nullptr;
    return m_answer;
}

void ExifToolKept::readOutput()
{
    if (!m_process)
        return;
    m_outBuffer += m_process->readAllStandardOutput();
    // The count of files written and any earlier "{ready}" are of no interest.
    QByteArray line;
    while (takeLine(m_outBuffer, line)) {
        if (!m_loop || m_answer != Answer::Pending || line != readyLine(m_number))
            continue;
        m_readySeen = true;
        if (m_statusSeen) {
            m_answer = Answer::Answered;
            m_loop->quit();
        } else {
            QEventLoop *loop = m_loop;
            const int number = m_number;
            QTimer::singleShot(StatusLateness, loop, [this, loop, number] {
                if (m_loop == loop && m_number == number && m_answer == Answer::Pending) {
                    m_answer = Answer::Answered; // without a status: not trusted
                    loop->quit();
                }
            });
        }
    }
}

void ExifToolKept::readErrors()
{
    if (!m_process)
        return;
    m_errBuffer += m_process->readAllStandardError();
    const QByteArray prefix = statusPrefix(m_number);
    QByteArray line;
    while (takeLine(m_errBuffer, line)) {
        if (!m_loop || m_answer != Answer::Pending || m_statusSeen)
            continue;
        if (line.startsWith(prefix) && line.endsWith('}')) {
            bool ok = false;
            const int status = line.mid(prefix.size(), line.size() - prefix.size() - 1).toInt(&ok);
            m_statusSeen = true;
            m_status = ok ? status : -1;
            if (m_readySeen) {
                m_answer = Answer::Answered;
                m_loop->quit();
            }
        } else {
            m_errorText += line + '\n';
        }
    }
}

void ExifToolKept::end()
{
    abort();
    stop(0);
}

void ExifToolKept::abort()
{
    if (!m_busy)
        return;
    if (m_loop) {
        m_answer = Answer::Aborted;
        stop(0);
        m_loop->quit();
    } else {
        m_oneShot.abort();
    }
}
