#include "exiftool/KeeperPlace.h"

#include "LumoskopVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    return QDir::cleanPath(runtime) + QStringLiteral("/lumoskop");
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
    return folder + QStringLiteral("/keeper");
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

Peer peerOf(qintptr socket)
{
    Peer peer;
    struct ucred credentials;
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(socket), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && size == sizeof credentials) {
        peer.uid = credentials.uid;
        peer.pid = credentials.pid;
    }
    return peer;
}

bool isThisUser(qintptr socket)
{
    return peerOf(socket).uid == qint64(::geteuid());
}

QString program()
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {folder, folder + QStringLiteral("/" LUMOSKOP_KEEPER_DIR_FROM_BIN)}) {
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

} // namespace KeeperPlace
