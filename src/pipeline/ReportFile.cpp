#include "pipeline/ReportFile.h"

#include "pipeline/ReportReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace
{

// A report's file name tag stands on its third line; a few more lines allow for whatever a
// later ExifTool may put first, while a large foreign file is never read whole.
constexpr qint64 kHeadBytes = 16 * 1024;
constexpr int kHeadLines = 16;

// The first lines of a regular file, decoded as the reader decodes them; false when the path
// is not a regular file or cannot be read.
bool headLines(const QString &path, QStringList *lines)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(kHeadBytes);
    if (file.error() != QFileDevice::NoError)
        return false;
    qsizetype start = 0;
    while (start < head.size() && lines->size() < kHeadLines) {
        qsizetype end = head.indexOf('\n', start);
        if (end < 0)
            end = head.size();
        qsizetype stop = end;
        if (stop > start && head.at(stop - 1) == '\r')
            --stop;
        lines->append(ReportReader::decodeLine(head.constData() + start, stop - start));
        start = end + 1;
    }
    return true;
}

// The file name as ExifTool's text output shows it: each control character as a dot, no NUL
// and no trailing blanks. A photo named "a<newline>b.jpg" is reported as "a.b.jpg".
QString asExifToolShowsIt(const QString &fileName)
{
    QString shown;
    shown.reserve(fileName.size());
    for (const QChar c : fileName) {
        if (c.unicode() == 0)
            continue;
        shown += (c.unicode() < 0x20 || c.unicode() == 0x7f) ? QChar(QLatin1Char('.')) : c;
    }
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    return shown;
}

bool somethingAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink(); // a dangling link would be followed by a writer
}

} // namespace

namespace ReportFile
{

bool samePath(const QString &a, const QString &b)
{
    // Through symbolic and hard links alike: two names of one file are one file.
    struct stat sa;
    struct stat sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}


bool isReport(const QString &path)
{
    QStringList lines;
    return headLines(path, &lines) && !lines.isEmpty() && !groupOfHeaderLine(lines.first()).isEmpty();
}

QString reportedFileName(const QString &reportPath)
{
    QStringList lines;
    if (!headLines(reportPath, &lines))
        return QString();
    const qsizetype system = lines.indexOf(QStringLiteral("---- System ----"));
    if (system < 0 || system + 1 >= lines.size())
        return QString();
    const QString &line = lines.at(system + 1);
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return QString();
    QString value = line.mid(colon + 1);
    if (value.startsWith(QLatin1Char(' ')))
        value.remove(0, 1);
    return value;
}

Status examine(const QString &reportPath, const QString &photoPath)
{
    if (!somethingAt(reportPath))
        return Status::Missing;
    if (!photoPath.isEmpty() && samePath(reportPath, photoPath))
        return Status::Foreign;
    if (!isReport(reportPath))
        return Status::Foreign;
    const QString fileName = QFileInfo(photoPath).fileName();
    return reportedFileName(reportPath) == asExifToolShowsIt(fileName) ? Status::OwnReport
                                                                        : Status::OtherPhotosReport;
}

bool removeReport(const QString &reportPath, const QString &photoPath)
{
    if (examine(reportPath, photoPath) != Status::OwnReport)
        return false;
    return QFile::remove(reportPath);
}

} // namespace ReportFile
