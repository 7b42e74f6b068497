#pragma once

#include <QString>
#include <QStringList>

class QObject;
class QProcess;
struct ExifToolOutcome;

// One ExifTool started for one request (or the terminal emulator around it), in a process group
// of its own, and what its end tells.
namespace OneShotRun
{

struct Kind {
    bool inTerminal = false;    // the user reads it in a terminal: nothing of its output comes back
    bool captureOutput = false; // standard output is the answer, not a count of files written
};

// Started, not waited for: QProcess reports the end through its signals.
QProcess *start(QObject *parent, const QString &executable, const QStringList &arguments, Kind kind);

// The outcome of the ended process; killed: ended by the program.
ExifToolOutcome outcome(QProcess *process, const QString &exiftool, Kind kind, bool killed = false);

} // namespace OneShotRun
