#include "pipeline/ExifToolRun.h"

#include "pipeline/ProgramFolder.h"
#include "pipeline/ReportFile.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <unistd.h>

namespace
{

struct Terminal {
    const char *program;
    QStringList prefix; // options before the program to run
};

// In order of preference. Each form keeps the terminal in the foreground until the program
// inside it has ended, so the wait covers the time until the user presses a key for "-k".
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

} // namespace

ExifToolRun::ExifToolRun(QObject *parent) : QObject(parent)
{
}

ExifToolRun::~ExifToolRun()
{
    *m_alive = false;
    abort();
}

bool ExifToolRun::isRunning() const
{
    return m_process != nullptr;
}

QStringList ExifToolRun::terminalCommand(const QString &program, const QStringList &arguments)
{
    for (const Terminal &terminal : terminals()) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(terminal.program));
        if (!path.isEmpty())
            return QStringList{path} + terminal.prefix + QStringList{program} + arguments;
    }
    return QStringList();
}

ExifToolRun::Outcome ExifToolRun::run(const QString &program, const QStringList &arguments, bool visible)
{
    Outcome outcome;
    outcome.program = program;
    if (m_process) {
        outcome.errorOutput = QStringLiteral("ExifTool is still working on the previous photo.");
        return outcome;
    }
    if (program.isEmpty()) {
        outcome.errorOutput = QStringLiteral("ExifTool was not found.");
        return outcome;
    }

    const QStringList terminal = visible ? terminalCommand(program, arguments) : QStringList();
    QProcess process;
    QEventLoop loop;
    if (terminal.isEmpty()) {
        QStringList withoutKey = arguments;
        withoutKey.removeAll(QStringLiteral("-k"));
        process.setProgram(program);
        process.setArguments(withoutKey);
        // ExifTool's own output goes to the report file; its count of files written is not needed.
        process.setStandardOutputFile(QProcess::nullDevice());
    } else {
        process.setProgram(terminal.first());
        process.setArguments(terminal.mid(1));
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    process.setStandardInputFile(QProcess::nullDevice());
    // Its own process group, so that abort() also ends what a terminal started inside it.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });

    bool ended = false;
    connect(&process, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        // Only a failed start ends the run without a finished signal to follow.
        if (error == QProcess::FailedToStart) {
            ended = true;
            loop.quit();
        }
    });

    m_aborted = false;
    m_process = &process;
    m_loop = &loop;
    const std::shared_ptr<bool> alive = m_alive;
    emit runningChanged(true);
    process.start();
    if (!ended && *alive)
        loop.exec();

    if (*alive) {
        m_process = nullptr;
        m_loop = nullptr;
        outcome.aborted = m_aborted;
    } else {
        outcome.aborted = true;
    }
    outcome.started = process.error() != QProcess::FailedToStart;
    if (!outcome.started) {
        outcome.errorOutput = process.errorString();
    } else {
        outcome.crashed = !outcome.aborted && process.exitStatus() == QProcess::CrashExit;
        outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        if (terminal.isEmpty())
            outcome.errorOutput = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    }
    if (*alive)
        emit runningChanged(false);
    return outcome;
}

void ExifToolRun::abort()
{
    if (!m_process)
        return;
    m_aborted = true;
    const qint64 pid = m_process->processId();
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    m_process->kill();
    m_process->waitForFinished(3000);
    if (m_loop)
        m_loop->quit();
}

QString describeFailure(const ExifToolRun::Outcome &outcome, const QString &photo, const QString &reportPath)
{
    if (ReportFile::examine(reportPath, photo) == ReportFile::Status::OwnReport)
        return QString();
    const QString shownPhoto = QDir::toNativeSeparators(photo);
    QString text;
    if (outcome.program.isEmpty()) {
        text = QStringLiteral("ExifTool was not found, so no metadata can be shown for \"%1\". Put the program "
                              "\"exiftool\" into the folder \"%2\" or install it (Debian package "
                              "libimage-exiftool-perl).")
                   .arg(shownPhoto, QDir::toNativeSeparators(ProgramFolder::path()));
        return text;
    }
    const QString shownProgram = QDir::toNativeSeparators(outcome.program);
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
