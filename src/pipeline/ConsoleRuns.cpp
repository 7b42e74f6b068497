#include "pipeline/ConsoleRuns.h"

#include "exiftool/ProcessGroup.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/OneShotRun.h"

#include <QProcess>

ConsoleRuns::~ConsoleRuns()
{
    closeAll();
}

void ConsoleRuns::setAside(int id, QProcess *process, const QString &exiftool)
{
    m_runs.insert(id, {process, exiftool});
}

bool ConsoleRuns::takeEnded(int id, ExifToolOutcome *outcome)
{
    const auto it = m_runs.constFind(id);
    if (it == m_runs.constEnd())
        return false;
    const Run run = *it;
    m_runs.erase(it);
    *outcome = OneShotRun::outcome(run.process, run.exiftool, {true, false});
    run.process->disconnect();
    run.process->deleteLater();
    return true;
}

QList<int> ConsoleRuns::ids() const
{
    return m_runs.keys();
}

void ConsoleRuns::closeAll()
{
    for (const Run &run : std::exchange(m_runs, {})) {
        run.process->disconnect();
        ProcessGroup::killAndWait(run.process);
        delete run.process;
    }
}
