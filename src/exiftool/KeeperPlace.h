#pragma once

#include "early/KeeperSocket.h"
#include "exiftool/KeeperMessage.h"

#include <QString>

// Where the user's ExifTool keeper lives and who may talk to it. Its socket is in a folder of
// its own under $XDG_RUNTIME_DIR, which only the user can enter; without $XDG_RUNTIME_DIR there
// is no keeper at all, never one in a folder others share (/tmp).
namespace KeeperPlace
{

// $XDG_RUNTIME_DIR/lumoskop; empty where $XDG_RUNTIME_DIR is not set or not absolute.
QString folder();
// Creates folder (mode 0700) where it is missing; true when it is a folder of this user's own
// that nobody else may enter. A folder someone else made, or a link, is never used.
bool prepare(const QString &folder);

QString socketPath(const QString &folder);
// A connection to the keeper's socket in folder, made at once and without an event loop (before
// the application object exists); the socket's descriptor, or -1 where no keeper of this user
// listens there now. noneListens, where given, tells whether that is because nothing listens on
// the socket (missing, or left by a keeper that died) rather than a fault.
int connectNow(const QString &folder, bool *noneListens = nullptr);

// The keeper can take such a request at all: a photo given by its absolute path, whose
// arguments fit ExifTool's argument file.
bool takes(const ExifToolAsk &ask);
// Sends request on a connection: true when it went out whole (a request is far smaller than the
// socket's buffer, so it goes out whole or not at all).
bool sendWhole(int fd, const QByteArray &request);
// Sends request to the keeper in folder at once, without an event loop: the connection, on
// which the answer is to be read, or -1 where no keeper of this user listens now or the
// request did not go out whole. noneListens as for connectNow().
int askNow(const QString &folder, const QByteArray &request, bool *noneListens = nullptr);

// The lock on folder that only a living keeper holds (the system drops it with the process,
// however that ends): the file descriptor that holds it, or -1 when another process holds it.
int takeLock(const QString &folder);
// No keeper holds the lock now (tried and let go at once).
bool lockIsFree(const QString &folder);

using KeeperSocket::isThisUser;
using KeeperSocket::Peer;
using KeeperSocket::peerOf;

// The keeper built with this program: beside it (the build tree), else where the program is
// installed (<libdir>/lumoskop, out of PATH); empty when there is none.
QString program();
// What a program built from this tree sends the keeper, for the keeper program and exiftool.
KeeperIdentity identity(const QString &keeperProgram, const QString &exiftool);
// The whole request a program sends for ask.
QByteArray request(const QString &keeperProgram, int warmSeconds, const ExifToolAsk &ask, const QString &exiftool);

} // namespace KeeperPlace
