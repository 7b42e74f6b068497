#include "pipeline/OneShotRun.h"

#include "exiftool/ProcessGroup.h"
#include "pipeline/ExifToolService.h"

#include <QProcess>

namespace OneShotRun
{

QProcess *start(QObject *parent, const QString &executable, const QStringList &arguments, Kind kind)
{
    auto *process = new QProcess(parent);
    process->setProgram(executable);
    process->setArguments(arguments);
    if (kind.inTerminal) {
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
    } else if (!kind.captureOutput) {
        // ExifTool's own output goes to the report file; its count of files written is not needed.
        process->setStandardOutputFile(QProcess::nullDevice());
    }
    process->setStandardInputFile(QProcess::nullDevice());
    ProcessGroup::startOwnGroup(process);
    process->start();
    return process;
}

ExifToolOutcome outcome(QProcess *process, const QString &exiftool, Kind kind, bool killed)
{
    ExifToolOutcome outcome;
    outcome.program = exiftool;
    outcome.started = process->error() != QProcess::FailedToStart;
    outcome.aborted = killed;
    if (!outcome.started) {
        outcome.errorOutput = process->errorString();
        return outcome;
    }
    outcome.crashed = !killed && process->exitStatus() == QProcess::CrashExit;
    outcome.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    if (!kind.inTerminal) {
        outcome.errorOutput = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
        if (kind.captureOutput)
            outcome.output = process->readAllStandardOutput();
    }
    return outcome;
}

} // namespace OneShotRun
