#include "exiftool/KeeperPlace.h"

#include "LumoskopVersion.h"
#include "early/KeeperSocket.h"
#include "exiftool/ExifToolCommand.h"
#include "exiftool/KeptExifTool.h"
#include "exiftool/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KeeperPlace
{

QString folder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime))
        return QString();
    return QDir::cleanPath(runtime) + QLatin1Char('/') + QLatin1String(KeeperSocket::FolderName);
}

bool prepare(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & 077) == 0;
}

QString socketPath(const QString &folder)
{
    return folder + QLatin1Char('/') + QLatin1String(KeeperSocket::SocketName);
}

int connectNow(const QString &folder, bool *noneListens)
{
    return KeeperSocket::connectNow(QFile::encodeName(socketPath(folder)).constData(), noneListens);
}

bool takes(const ExifToolAsk &ask)
{
    return ask.kind != ExifToolAsk::Kind::None && QDir::isAbsolutePath(ask.photo) &&
           KeptExifTool::fitsArgumentFile(ExifToolCommand::forAsk(ask));
}

int askNow(const QString &folder, const QByteArray &request, bool *noneListens)
{
    const int fd = connectNow(folder, noneListens);
    if (fd < 0)
        return -1;
    if (!sendWhole(fd, request)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendWhole(int fd, const QByteArray &request)
{
    ssize_t written;
    do {
        written = ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
    } while (written < 0 && errno == EINTR);
    return written == request.size();
}

int takeLock(const QString &folder)
{
    // The folder itself is the lock, so that a keeper that ended leaves no file behind.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool lockIsFree(const QString &folder)
{
    const int fd = takeLock(folder);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

QString program()
{
    for (const QString &candidate : ProgramFolder::helperFolders()) {
        const QFileInfo keeper(candidate + QStringLiteral("/lumoskop-keeper"));
        if (keeper.isFile() && keeper.isExecutable())
            return keeper.canonicalFilePath();
    }
    return QString();
}

KeeperIdentity identity(const QString &keeperProgram, const QString &exiftool)
{
    return {QString::fromLatin1(LumoskopVersion::Text), FileStamp::of(keeperProgram), exiftool};
}

QByteArray request(const QString &keeperProgram, int warmSeconds, const ExifToolAsk &ask, const QString &exiftool)
{
    return KeeperMessage::request({identity(keeperProgram, exiftool), warmSeconds, ask});
}

} // namespace KeeperPlace
