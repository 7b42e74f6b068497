#include "app/HeadStart.h"

#include "app/SettingsStore.h"
#include "pipeline/ReportPath.h"
#include "pipeline/ReportsAhead.h"

namespace HeadStart
{

void begin(ReportsAhead &ahead, QSettings &settings, const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    const SettingsStore store(settings);
    if (store.option(SettingsStore::ExiftoolCheck).value_or(false))
        return;
    ahead.prepare(ReportPath::photoPathFromArgument(commandLine), store.language(), true);
}

} // namespace HeadStart
