#pragma once

// Reaching the user's ExifTool keeper without Qt, as the program's file does before any
// toolkit library is loaded.
namespace KeeperSocket
{

// The keeper's socket for the runtime folder runtime ($XDG_RUNTIME_DIR): runtime/lumoskop/keeper.
inline constexpr const char *FolderName = "lumoskop";
inline constexpr const char *SocketName = "keeper";

// A connection to the socket at path, made at once and never waiting: its descriptor, or -1
// where no keeper of this user listens there now. noneListens, where given, tells whether that
// is because nothing listens on the socket (missing, or left by a keeper that died) rather
// than a fault.
int connectNow(const char *path, bool *noneListens = nullptr);

// The user and process on the other end of a local socket; uid -1 when unknown.
struct Peer {
    long long uid = -1;
    long long pid = -1;
};
Peer peerOf(int socket);
bool isThisUser(int socket);

} // namespace KeeperSocket
