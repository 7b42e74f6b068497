#pragma once

#include "exiftool/ExifToolCommand.h"
#include "exiftool/FileStamp.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Which keeper may answer a program: the keeper built with it (its version, and the keeper
// executable's path and stamp, which tell one build from another) running the ExifTool the
// program would run itself.
struct KeeperIdentity {
    QString version;
    FileStamp keeper;
    QString exiftool;

    bool operator==(const KeeperIdentity &other) const
    {
        return version == other.version && keeper == other.keeper && exiftool == other.exiftool;
    }
    bool operator!=(const KeeperIdentity &other) const { return !(*this == other); }
};

// What a program sends the keeper: who it is, how long the keeper is to stay without a
// request, and what it asks (never ExifTool's arguments: the keeper builds those itself).
struct KeeperRequest {
    KeeperIdentity identity;
    int warmSeconds = 0;
    ExifToolAsk ask;

    bool operator==(const KeeperRequest &other) const
    {
        return identity == other.identity && warmSeconds == other.warmSeconds && ask == other.ask;
    }
};

struct KeeperAnswer {
    enum class Kind {
        Printed, // what ExifTool printed for a request it ran with status 0
        NotMe,   // another identity: the program runs its own ExifTool
        Refused, // the keeper cannot answer this one: the program runs its own ExifTool
    };
    Kind kind = Kind::Refused;
    bool givingWay = false; // NotMe: the keeper ends now, so that the program may start its own
    QString errorText;      // Printed: ExifTool's standard error, trimmed
    QByteArray output;      // Printed: ExifTool's standard output

    bool operator==(const KeeperAnswer &other) const
    {
        return kind == other.kind && givingWay == other.givingWay && errorText == other.errorText &&
               output == other.output;
    }
};

// The keeper's messages on its socket. Every message is a frame: its length as 4 bytes (big
// endian), then that many bytes, which begin with a tag naming the message and the version of
// this format. A frame longer than the reader's limit is refused from its length alone,
// before anything of it is kept. The framing and the request's tag stay as they are in later
// versions, so that a keeper can tell a request of another version from nonsense, and give
// way to the program that sent it.
namespace KeeperMessage
{

// A request names a few paths; an answer may carry the previews of a camera raw photo, which
// ExifTool prints as base64 text (a full-size JPEG of a 100-megapixel camera is some 60 MB).
// A larger answer is not sent: the program asks its own ExifTool.
constexpr qsizetype MaxRequest = 64 * 1024;
constexpr qsizetype MaxAnswer = 128 * 1024 * 1024;

enum class Take {
    Incomplete, // more bytes are needed
    Frame,      // a whole frame was taken off the front of the buffer
    Invalid,    // the length is beyond the limit: the connection can only be closed
};

// Takes the first whole frame (its bytes after the length) off the front of buffer.
Take takeFrame(QByteArray &buffer, qsizetype limit, QByteArray &frame);

// Whole frames, the length in front.
QByteArray request(const KeeperRequest &request);
QByteArray answer(const KeeperAnswer &answer);

// Nothing for a frame that is not exactly one such message of this version.
std::optional<KeeperRequest> readRequest(const QByteArray &frame);
std::optional<KeeperAnswer> readAnswer(const QByteArray &frame);

// A request of another version of this format.
bool isForeignRequest(const QByteArray &frame);

} // namespace KeeperMessage
