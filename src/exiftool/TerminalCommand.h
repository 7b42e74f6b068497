#pragma once

#include <QString>
#include <QStringList>

// "ExifTool show": the command line that runs program with arguments in a terminal emulator and
// lasts as long as the program does, from the first terminal emulator installed of those the
// desktops bring; empty when none is.
QStringList terminalCommand(const QString &program, const QStringList &arguments);
