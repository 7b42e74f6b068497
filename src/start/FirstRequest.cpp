#include "start/FirstRequest.h"

#include "exiftool/KeeperPlace.h"
#include "exiftool/ReportPath.h"
#include "start/SettingsStore.h"


namespace FirstRequest
{

EarlyHandover start(const QString &commandLine, const SettingsStore &settings)
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
        handover.keeperFd =
            KeeperPlace::askNow(folder, KeeperPlace::request(keeper, warmSeconds, handover.ask, exiftool));
        if (handover.keeperFd >= 0)
            return handover;
        handover.keeperWanted = true;
    }
    QStringList arguments = ExifToolCommand::forAsk(handover.ask);
    // Nobody could press the key "-k" waits for.
    arguments.removeAll(QStringLiteral("-k"));
    handover.run = EarlyExifTool::spawn(exiftool, arguments);
    return handover;
}

} // namespace FirstRequest
