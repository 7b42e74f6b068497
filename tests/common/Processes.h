#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Processes the tests start or watch from outside.
namespace Processes
{

// True while a process of the group lives on; one that has ended but is not yet reaped by
// whoever inherited it does not count.
bool groupAlive(qint64 group);

// Runs a helper program (ExifTool, xdotool, …) to its end and returns its standard output.
// A busy machine may make it slow, so it is given minutes, not seconds; one that does not
// start, crashes or outlasts that says so in the test's output and gets exit code -1.
QByteArray run(const QString &program, const QStringList &arguments, int *exitCode = nullptr);

} // namespace Processes
