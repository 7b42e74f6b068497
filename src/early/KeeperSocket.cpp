#include "early/KeeperSocket.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace KeeperSocket
{

int connectNow(const char *path, bool *noneListens)
{
    if (noneListens)
        *noneListens = false;
    sockaddr_un address{};
    const size_t length = std::strlen(path);
    if (length >= sizeof address.sun_path)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path, length);
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

Peer peerOf(int socket)
{
    Peer peer;
    struct ucred credentials;
    socklen_t size = sizeof credentials;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && size == sizeof credentials) {
        peer.uid = credentials.uid;
        peer.pid = credentials.pid;
    }
    return peer;
}

bool isThisUser(int socket)
{
    return peerOf(socket).uid == (long long)::geteuid();
}

} // namespace KeeperSocket
