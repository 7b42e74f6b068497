#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A folder standing for the program's folder, holding a fake `exiftool` that logs each call,
// notices when two calls run at once, waits, and then hands over to the real ExifTool. While
// it exists, ProgramFolder points at it, so the program finds this ExifTool first. The kept
// ExifTool ("-stay_open") is handed over too, after the same wait, but is no call of its own.
class FakeExifTool
{
public:
    explicit FakeExifTool(double delaySeconds = 0, const QString &extraShell = QString());
    ~FakeExifTool();
    QString folder() const { return m_dir.path(); }
    QString program() const { return m_dir.filePath(QStringLiteral("exiftool")); }
    // One line of arguments per call that writes a report ("-w!"); the program's other calls
    // (the English listing, the position) are not counted.
    QStringList calls() const;
    bool overlapped() const;   // two calls ran at the same time
    // Some ExifTool has been started through this one (a call or the kept ExifTool).
    bool started() const;
    // Something started through this one still runs: a call, the ExifTool it became, or
    // anything it started in turn.
    bool anyRunning() const;

private:
    QTemporaryDir m_dir;
};
