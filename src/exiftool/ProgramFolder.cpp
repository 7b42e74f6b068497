#include "exiftool/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{
QString &overrideFolder()
{
    static QString folder;
    return folder;
}
} // namespace

namespace ProgramFolder
{

QString path()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    // Before the application object exists (the program's first ExifTool starts then), the
    // system tells where the running program lies.
    QString dir = QCoreApplication::instance()
                      ? QCoreApplication::applicationDirPath()
                      : QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

void setOverride(const QString &folder)
{
    overrideFolder() = folder;
}

QStringList helperFolders()
{
    const QString folder = path();
    return {folder, folder + QStringLiteral("/" LUMOSKOP_HELPER_DIR_FROM_BIN)};
}

QString asset(const QString &builtInFolder, const QString &fileName)
{
    const QString local = path() + QLatin1Char('/') + fileName;
    if (QFileInfo(local).isFile())
        return local;
    const QString builtIn = QStringLiteral(":/") + builtInFolder + QLatin1Char('/') + fileName;
    if (QFileInfo::exists(builtIn))
        return builtIn;
    return QString();
}

QUrl assetUrl(const QString &builtInFolder, const QString &fileName)
{
    const QString found = asset(builtInFolder, fileName);
    if (found.isEmpty())
        return QUrl();
    if (found.startsWith(QLatin1String(":/")))
        return QUrl(QStringLiteral("qrc") + found);
    return QUrl::fromLocalFile(found);
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Lumoskop");
}

} // namespace ProgramFolder
