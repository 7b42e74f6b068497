#include "exiftool/ProcessGroup.h"

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace ProcessGroup
{

void startOwnGroup(QProcess *process, bool dieWithParent)
{
    if (dieWithParent) {
        process->setChildProcessModifier([] {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        });
    } else {
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
    }
}

void kill(QProcess *process)
{
    const qint64 pid = process->processId();
    if (pid > 0 && process->state() != QProcess::NotRunning)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    process->kill();
}

void killAndWait(QProcess *process)
{
    kill(process);
    process->waitForFinished(1000);
}

} // namespace ProcessGroup
