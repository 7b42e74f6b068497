#include "FakeExifTool.h"

#include "Processes.h"
#include "TestPhotos.h"
#include "exiftool/ProgramFolder.h"

#include <QFile>

FakeExifTool::FakeExifTool(double delaySeconds, const QString &extraShell)
{
    // extraShell runs before a call is handed over: a test's way to make one call misbehave.
    const QString script = QStringLiteral("#!/bin/bash\n"
                                          "PATH=/usr/bin:/bin\n"
                                          "d='%1'\n"
                                          // Each process heads a group of its own (the program starts it so):
                                          // its id names everything the call leaves running.
                                          "echo $$ >> \"$d/pids\"\n"
                                          "case \"$*\" in *-stay_open*) sleep %2; exec '%3' \"$@\";; esac\n"
                                          // Held until this call and the ExifTool it becomes end, however
                                          // they end: a killed call leaves no lock behind.
                                          "exec 9>\"$d/lock\"\n"
                                          "flock -n 9 || echo OVERLAP >> \"$d/overlap\"\n"
                                          "printf '%s\\n' \"$*\" >> \"$d/calls\"\n"
                                          "sleep %2\n"
                                          "%4\n"
                                          "exec '%3' \"$@\"\n")
                               .arg(m_dir.path())
                               .arg(delaySeconds)
                               .arg(TestPhotos::exiftool(), extraShell);
    QFile f(program());
    f.open(QIODevice::WriteOnly);
    f.write(script.toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                     QFile::ReadOther | QFile::ExeOther);
    ProgramFolder::setOverride(m_dir.path());
}

FakeExifTool::~FakeExifTool()
{
    ProgramFolder::setOverride(QString());
}

QStringList FakeExifTool::calls() const
{
    QFile f(m_dir.filePath(QStringLiteral("calls")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).filter(QStringLiteral("-w!"));
}

bool FakeExifTool::overlapped() const
{
    return QFile::exists(m_dir.filePath(QStringLiteral("overlap")));
}

bool FakeExifTool::anyRunning() const
{
    QFile f(m_dir.filePath(QStringLiteral("pids")));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> pids = f.readAll().split('\n');
    for (const QByteArray &pid : pids) {
        if (!pid.trimmed().isEmpty() && Processes::groupAlive(pid.trimmed().toLongLong()))
            return true;
    }
    return false;
}

bool FakeExifTool::started() const
{
    return QFile(m_dir.filePath(QStringLiteral("pids"))).size() > 0;
}
