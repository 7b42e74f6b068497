#include "TestPhotos.h"

#include "Processes.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>

namespace TestPhotos {

QString exiftool() { return QStandardPaths::findExecutable(QStringLiteral("exiftool")); }

bool makeJpeg(const QString &path, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(QColor(40, 90, 160));
    QPainter p(&img);
    p.setBrush(QColor(240, 200, 60));
    p.drawEllipse(width / 4, height / 4, width / 2, height / 2);
    p.end();
    return img.save(path, "JPEG");
}

bool writeTags(const QString &path, const QStringList &assignments)
{
    int code = -1;
    Processes::run(exiftool(),
                   QStringList{QStringLiteral("-overwrite_original"), QStringLiteral("-q")} << assignments << path,
                   &code);
    return code == 0;
}

bool makeCameraPhoto(const QString &path)
{
    return makeJpeg(path)
        && writeTags(path, {QStringLiteral("-Make=Canon"), QStringLiteral("-Model=Canon EOS 5D Mark IV"),
                            QStringLiteral("-LensModel=EF24-105mm f/4L IS USM"), QStringLiteral("-FocalLength=24"),
                            QStringLiteral("-FocalLengthIn35mmFormat=36"), QStringLiteral("-ExposureTime=1/250"),
                            QStringLiteral("-FNumber=8"), QStringLiteral("-ISO=200"),
                            QStringLiteral("-ExposureCompensation=-0.7"), QStringLiteral("-ExposureProgram#=3"),
                            QStringLiteral("-MeteringMode#=5"), QStringLiteral("-WhiteBalance#=0"),
                            QStringLiteral("-ExposureMode#=0"), QStringLiteral("-DateTimeOriginal=2023:05:01 10:11:12"),
                            QStringLiteral("-Artist=Jürgen Müller")});
}

bool writeReport(const QString &photo, const QString &lang)
{
    int code = -1;
    Processes::run(exiftool(),
                   {QStringLiteral("-lang"), lang, QStringLiteral("-a"), QStringLiteral("-u"), QStringLiteral("-g1"),
                    QStringLiteral("-w!"), QStringLiteral("txt"), photo},
                   &code);
    return code == 0;
}

} // namespace TestPhotos
