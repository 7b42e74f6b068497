#include "exiftool/ExifToolCommand.h"

#include "exiftool/ProgramFolder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace ExifToolCommand
{

namespace
{
QString asFileArgument(const QString &photo)
{
    return photo.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + photo : photo;
}
} // namespace

QStringList englishListingArguments(const QString &photo)
{
    return printingArguments(QStringLiteral("en"), photo);
}

QStringList positionArguments(const QString &photo)
{
    return {QStringLiteral("-n"),
            QStringLiteral("-s"),
            QStringLiteral("-G1"),
            QStringLiteral("-a"),
            QStringLiteral("-GPSLatitude"),
            QStringLiteral("-GPSLongitude"),
            QStringLiteral("-GPSLatitudeRef"),
            QStringLiteral("-GPSLongitudeRef"),
            asFileArgument(photo)};
}

QStringList previewArguments(const QString &photo)
{
    return {QStringLiteral("-j"),
            QStringLiteral("-b"),
            QStringLiteral("-n"),
            QStringLiteral("-Orientation"),
            QStringLiteral("-PreviewImage"),
            QStringLiteral("-JpgFromRaw"),
            QStringLiteral("-OtherImage"),
            QStringLiteral("-ThumbnailImage"),
            asFileArgument(photo)};
}

QStringList forAsk(const ExifToolAsk &ask)
{
    switch (ask.kind) {
    case ExifToolAsk::Kind::Report:
        return printingArguments(ask.language, ask.photo);
    case ExifToolAsk::Kind::EnglishListing:
        return englishListingArguments(ask.photo);
    case ExifToolAsk::Kind::Position:
        return positionArguments(ask.photo);
    case ExifToolAsk::Kind::Previews:
        return previewArguments(ask.photo);
    case ExifToolAsk::Kind::None:
        break;
    }
    return QStringList();
}

QString exifToolLanguage(const QString &code)
{
    // ExifTool knows Chinese only as "zh-cn" and "zh-tw" and refuses a plain "zh", which the
    // language box offers and stores: every photo would fail from then on.
    if (code == QLatin1String("zh"))
        return QStringLiteral("zh-cn");
    return code;
}

QStringList arguments(const QString &lang, bool show, const QString &photo, const QString &writeTo)
{
    QStringList list{QStringLiteral("-lang"), exifToolLanguage(lang), QStringLiteral("-a"), QStringLiteral("-u"),
                     QStringLiteral("-g1")};
    if (show)
        list << QStringLiteral("-k");
    list << QStringLiteral("-w!") << writeTo;
    list << asFileArgument(photo);
    return list;
}

QStringList printingArguments(const QString &lang, const QString &photo)
{
    QStringList list = arguments(lang, false, photo);
    const qsizetype write = list.indexOf(QStringLiteral("-w!"));
    list.remove(write, 2);
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
