#include "Processes.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace Processes
{

namespace
{
// Longer than any helper takes with both cores taken by other work, far shorter than the
// test's own time limit, so that a helper that hangs is named before the test is killed.
constexpr int StartLimitMs = 60 * 1000;
constexpr int FinishLimitMs = 4 * 60 * 1000;
} // namespace

bool groupAlive(qint64 group)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid pgrp ...; comm may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z" && fields[0] != "X")
            return true;
    }
    return false;
}

QByteArray run(const QString &program, const QStringList &arguments, int *exitCode)
{
    const QString command = (QStringList{program} + arguments).join(QLatin1Char(' '));
    QProcess proc;
    proc.start(program, arguments);
    int code = -1;
    if (!proc.waitForStarted(StartLimitMs)) {
        qWarning().noquote() << "did not start:" << command << "-" << proc.errorString();
    } else if (!proc.waitForFinished(FinishLimitMs)) {
        qWarning().noquote() << "still running after" << FinishLimitMs / 1000 << "s, killed:" << command;
        proc.kill();
        proc.waitForFinished(-1);
    } else if (proc.exitStatus() != QProcess::NormalExit) {
        qWarning().noquote() << "crashed:" << command << "-" << proc.errorString()
                             << QString::fromLocal8Bit(proc.readAllStandardError());
    } else {
        code = proc.exitCode();
    }
    if (exitCode)
        *exitCode = code;
    return proc.readAllStandardOutput();
}

} // namespace Processes
