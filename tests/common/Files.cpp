#include "Files.h"

#include <QFile>

namespace Files
{

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeScript(const QString &path, const QByteArray &body)
{
    if (!write(path, "#!/bin/sh\n" + body))
        return false;
    return QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
}

QByteArray reportFor(const QString &fileName, const QByteArray &moreLines)
{
    return "---- ExifTool ----\nExifTool Version Number         : 12.57\n---- System ----\n"
           "File Name                       : " +
           fileName.toUtf8() + "\nDirectory                       : .\n" + moreLines;
}

} // namespace Files
