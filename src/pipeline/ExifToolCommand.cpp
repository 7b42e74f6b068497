#include "pipeline/ExifToolCommand.h"

#include "pipeline/ProgramFolder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace ExifToolCommand
{

QStringList arguments(const QString &lang, bool show, const QString &photo)
{
    QStringList list{QStringLiteral("-lang"), lang, QStringLiteral("-a"), QStringLiteral("-u"), QStringLiteral("-g1")};
    if (show)
        list << QStringLiteral("-k");
    list << QStringLiteral("-w!") << QStringLiteral("txt");
    list << (photo.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + photo : photo);
    return list;
}

QString locate()
{
    const QFileInfo beside(ProgramFolder::path() + QStringLiteral("/exiftool"));
    if (beside.isFile() && beside.isExecutable())
        return beside.filePath();
    return QStandardPaths::findExecutable(QStringLiteral("exiftool"));
}

} // namespace ExifToolCommand
