#include "exiftool/TerminalCommand.h"

#include <QList>
#include <QStandardPaths>

namespace
{

struct Terminal {
    const char *program;
    QStringList prefix; // options before the program to run
};

// In order of preference. Each form keeps the terminal in the foreground until the program
// inside it has ended, so the run lasts until the user presses a key for "-k".
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

QStringList terminalCommand(const QString &program, const QStringList &arguments)
{
    for (const Terminal &terminal : terminals()) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(terminal.program));
        if (!path.isEmpty())
            return QStringList{path} + terminal.prefix + QStringList{program} + arguments;
    }
    return QStringList();
}
