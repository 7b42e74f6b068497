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
        const pid_t parent = ::getpid();
        process->setChildProcessModifier([parent] {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            // A parent that died before the line above sends no signal any more: an ExifTool
            // kept with "-stay_open" would then outlive it for good, as it never ends by itself.
            if (::getppid() != parent)
                ::_exit(127);
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
