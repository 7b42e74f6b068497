#include "start/FirstRequest.h"

#include "exiftool/KeeperPlace.h"
#include "exiftool/KeptExifTool.h"
#include "exiftool/ReportPath.h"
#include "start/SettingsStore.h"

#include <QFile>

#include <unistd.h>

namespace FirstRequest
{

namespace
{

// The ExifTool started ahead, given arguments, where it is the one the window would run and
// they fit an argument file; an invalid handle otherwise, and that ExifTool ended.
EarlyExifTool::Handle feed(StartedAhead &ahead, const QString &exiftool, const QStringList &arguments)
{
    if (!ahead.exiftoolRun.valid() || QFile::decodeName(ahead.exiftool.c_str()) != exiftool ||
        !KeptExifTool::fitsArgumentFile(arguments))
        return {};
    QByteArray lines;
    for (const QString &argument : arguments)
        lines += QFile::encodeName(argument) + '\n';
    if (!ahead.exiftoolRun.feedAndClose(lines.constData(), (unsigned long)lines.size()))
        return {};
    EarlyExifTool::Handle run = EarlyExifTool::adopted(exiftool, arguments, ahead.exiftoolRun);
    ahead.exiftoolRun = SpawnedProcess(); // taken over
    return run;
}

} // namespace

EarlyHandover start(const QString &commandLine, const SettingsStore &settings, StartedAhead ahead)
{
    EarlyHandover handover;
    // A run the user watches in a terminal waits for the window it belongs to.
    if (commandLine.isEmpty() || settings.option(SettingsStore::ExiftoolCheck).value_or(false))
        return handover;
    const QString photo = ReportPath::photoPathFromArgument(commandLine);
    if (!ReportPath::needsReport(photo))
        return handover;
    const QString exiftool = ExifToolCommand::locate();
    if (exiftool.isEmpty())
        return handover;
    handover.ask = {ExifToolAsk::Kind::Report, photo, settings.language()};
    handover.exiftool = exiftool;

    const int warmSeconds = settings.exifToolWarmSeconds().value_or(SettingsStore::DefaultExifToolWarmSeconds);
    const QString folder = KeeperPlace::folder();
    const QString keeper = KeeperPlace::program();
    if (warmSeconds > 0 && !folder.isEmpty() && !keeper.isEmpty() && KeeperPlace::takes(handover.ask) &&
        KeeperPlace::prepare(folder)) {
        const QByteArray request = KeeperPlace::request(keeper, warmSeconds, handover.ask, exiftool);
        if (ahead.keeperFd >= 0 && KeeperPlace::sendWhole(ahead.keeperFd, request))
            handover.keeperFd = std::exchange(ahead.keeperFd, -1);
        else
            handover.keeperFd = KeeperPlace::askNow(folder, request);
        if (handover.keeperFd >= 0)
            return handover;
        handover.keeperWanted = true;
    }
    QStringList arguments = ExifToolCommand::forAsk(handover.ask);
    // Nobody could press the key "-k" waits for.
    arguments.removeAll(QStringLiteral("-k"));
    handover.run = feed(ahead, exiftool, arguments);
    if (!handover.run.valid())
        handover.run = EarlyExifTool::spawn(exiftool, arguments);
    return handover;
}

} // namespace FirstRequest
