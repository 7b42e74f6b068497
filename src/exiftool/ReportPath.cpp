#include "exiftool/ReportPath.h"

#include <QFileInfo>

namespace ReportPath
{

bool forPhoto(const QString &photoPath, QString *reportPath)
{
    // Callers report this as error 5, as they always did for names too short to hold an extension.
    if (photoPath.size() < 4)
        return false;
    // ExifTool strips /\.[^.\/]*$/ and appends the extension: only a dot inside the last path
    // component counts, and a leading dot (".hidden") is an extension too.
    const qsizetype slash = photoPath.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = photoPath.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? photoPath.left(dot) : photoPath;
    if (reportPath)
        *reportPath = base + QStringLiteral(".txt");
    return true;
}

bool needsReport(const QString &photo)
{
    QString beside;
    return !photo.trimmed().isEmpty() && QFileInfo(photo).isFile() && forPhoto(photo, &beside) &&
           !QFileInfo::exists(beside);
}

QString photoPathFromArgument(const QString &argument)
{
    // A file manager passes the name exactly, quotes and all (Mom's "best" shot.jpg): only an
    // argument that names no file was quoted by a command line, and loses its quotes.
    if (QFileInfo::exists(argument))
        return argument;
    QString path = argument;
    path.remove(QLatin1Char('"'));
    return path;
}

} // namespace ReportPath
