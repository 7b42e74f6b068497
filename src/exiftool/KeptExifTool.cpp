#include "exiftool/KeptExifTool.h"

#include "exiftool/ProcessGroup.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

namespace
{

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

} // namespace

KeptExifTool::KeptExifTool(QObject *parent) : QObject(parent)
{
    m_limitTimer.setSingleShot(true);
    m_statusTimer.setSingleShot(true);
    connect(&m_limitTimer, &QTimer::timeout, this, [this] {
        if (m_answering)
            fail();
    });
    connect(&m_statusTimer, &QTimer::timeout, this, [this] {
        if (m_answering && m_readySeen)
            complete(); // without a status: not trusted
    });
}

KeptExifTool::~KeptExifTool()
{
    if (QProcess *process = takeProcess()) {
        if (process->state() != QProcess::NotRunning) {
            process->write("-stay_open\nFalse\n");
            process->closeWriteChannel();
            if (!process->waitForFinished(GraceTime))
                ProcessGroup::killAndWait(process);
        }
        delete process;
    }
    for (const QPointer<QProcess> &process : m_leaving) {
        if (process) {
            ProcessGroup::killAndWait(process);
            delete process;
        }
    }
}

void KeptExifTool::start(const QString &program)
{
    if (m_process)
        end();
    if (program.isEmpty())
        return;
    auto *process = new QProcess(this);
    process->setProgram(program);
    process->setArguments(
        {QStringLiteral("-stay_open"), QStringLiteral("True"), QStringLiteral("-@"), QStringLiteral("-")});
    // A kept ExifTool whose parent is gone would poll its closed pipe for ever, so it dies with
    // the program even when the program itself is killed.
    ProcessGroup::startOwnGroup(process, true);
    const quint64 serial = ++m_serial;
    connect(process, &QProcess::readyReadStandardOutput, this, &KeptExifTool::readOutput);
    connect(process, &QProcess::readyReadStandardError, this, &KeptExifTool::readErrors);
    connect(process, &QProcess::finished, this, [this, serial] { gone(serial); });
    connect(process, &QProcess::errorOccurred, this, [this, serial](QProcess::ProcessError error) {
        // A failed start has no finished signal to follow; it may come from inside start().
        if (error == QProcess::FailedToStart)
            QTimer::singleShot(0, this, [this, serial] { gone(serial); });
    });
    m_process = process;
    m_program = program;
    m_programStamp = FileStamp::of(program);
    m_folder = QDir::currentPath();
    m_number = 0;
    m_answering = false;
    m_outBuffer.clear();
    m_errBuffer.clear();
    process->start();
}

bool KeptExifTool::serves(const QString &program) const
{
    return m_process && m_program == program && m_folder == QDir::currentPath() && m_number < RequestLimit &&
           FileStamp::of(program) == m_programStamp;
}

void KeptExifTool::ask(const QStringList &arguments, bool captureOutput, int timeLimit)
{
    if (!m_process || m_answering)
        return;
    m_answering = true;
    m_captureOutput = captureOutput;
    const int number = ++m_number;
    m_readySeen = false;
    m_statusSeen = false;
    m_status = -1;
    m_outBuffer.clear();
    m_errBuffer.clear();
    m_errorText.clear();

    QByteArray request;
    for (const QString &argument : arguments)
        request += argument.toLocal8Bit() + '\n';
    request += "-echo4\n" + statusPrefix(number) + "${status}}\n";
    request += "-execute" + QByteArray::number(number) + '\n';
    m_process->write(request);
    m_limitTimer.start(qMax(1, timeLimit));
}

QProcess *KeptExifTool::takeProcess()
{
    m_limitTimer.stop();
    m_statusTimer.stop();
    m_answering = false;
    QProcess *process = m_process;
    m_process = nullptr;
    if (process)
        process->disconnect(this);
    return process;
}

void KeptExifTool::end()
{
    QProcess *process = takeProcess();
    if (!process)
        return;
    if (process->state() == QProcess::Running) {
        process->write("-stay_open\nFalse\n");
        process->closeWriteChannel();
        QTimer::singleShot(GraceTime, process, [process] { ProcessGroup::kill(process); });
    } else {
        ProcessGroup::kill(process);
    }
    leave(process);
}

void KeptExifTool::kill()
{
    if (QProcess *process = takeProcess()) {
        ProcessGroup::kill(process);
        leave(process);
    }
}

void KeptExifTool::killAndWait()
{
    if (QProcess *process = takeProcess()) {
        ProcessGroup::killAndWait(process);
        delete process;
    }
}

// A process given up on is deleted once it has ended; its end is collected in the background.
void KeptExifTool::leave(QProcess *process)
{
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    m_leaving.erase(std::remove(m_leaving.begin(), m_leaving.end(), nullptr), m_leaving.end());
    m_leaving.emplace_back(process);
}

void KeptExifTool::gone(quint64 serial)
{
    if (!m_process || serial != m_serial)
        return;
    const bool wasAnswering = m_answering;
    QProcess *process = takeProcess();
    process->deleteLater();
    if (wasAnswering)
        emit failed();
}

void KeptExifTool::fail()
{
    kill();
    emit failed();
}

void KeptExifTool::readOutput()
{
    if (!m_process)
        return;
    const QByteArray chunk = m_process->readAllStandardOutput();
    if (!m_answering || m_readySeen)
        return; // the count of files written between requests, or nothing of interest
    m_outBuffer += chunk;
    const QByteArray marker = readyMarker(m_number);
    if (!m_outBuffer.endsWith(marker)) {
        // Enough of the end is kept to find a marker that arrives in pieces.
        if (!m_captureOutput && m_outBuffer.size() > marker.size())
            m_outBuffer = m_outBuffer.right(marker.size());
        return;
    }
    m_outBuffer.chop(marker.size());
    m_readySeen = true;
    if (m_statusSeen)
        complete();
    else
        m_statusTimer.start(StatusLateness);
}

void KeptExifTool::readErrors()
{
    if (!m_process)
        return;
    m_errBuffer += m_process->readAllStandardError();
    if (!m_answering) {
        m_errBuffer.clear();
        return;
    }
    const QByteArray prefix = statusPrefix(m_number);
    QByteArray line;
    while (takeLine(m_errBuffer, line)) {
        if (m_statusSeen)
            continue;
        if (line.startsWith(prefix) && line.endsWith('}')) {
            bool ok = false;
            const int value = line.mid(prefix.size(), line.size() - prefix.size() - 1).toInt(&ok);
            m_statusSeen = true;
            m_status = ok ? value : -1;
        } else {
            m_errorText += line + '\n';
        }
    }
    if (m_statusSeen && m_readySeen)
        complete();
}

void KeptExifTool::complete()
{
    m_limitTimer.stop();
    m_statusTimer.stop();
    m_answering = false;
    Answer answer;
    answer.trusted = m_statusSeen && m_status == 0;
    answer.errorText = QString::fromLocal8Bit(m_errorText).trimmed();
    if (m_captureOutput)
        answer.output = std::exchange(m_outBuffer, {});
    m_outBuffer.clear();
    emit answered(answer);
}

bool KeptExifTool::fitsArgumentFile(const QStringList &arguments)
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
