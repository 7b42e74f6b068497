#include "exiftool/KeeperPlace.h"

#include "LumoskopVersion.h"
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
#include <sys/un.h>
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

int connectNow(const QString &folder, bool *noneListens)
{
    if (noneListens)
        *noneListens = false;
    const QByteArray path = QFile::encodeName(socketPath(folder));
    sockaddr_un address{};
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    // Never blocks: a keeper too busy to take the connection is no keeper for this start.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        if (noneListens)
            *noneListens = errno == ENOENT || errno == ECONNREFUSED;
        ::close(fd);
        return -1;
    }
    if (!isThisUser(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
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
