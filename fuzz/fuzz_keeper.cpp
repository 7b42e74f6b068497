// Any bytes as what arrives on the keeper's socket, read as the keeper reads requests and as
// the program reads answers: frame after frame off a buffer, each frame parsed. Whatever is
// read back must write out as the very frame it came from.
#include "FuzzCheck.h"

#include "exiftool/KeeperMessage.h"

#include <QByteArray>

#include <cstdint>

namespace
{

// Every frame of bytes, taken as the reader on one side of the socket takes them.
template <typename Read, typename Write> void readAll(QByteArray buffer, qsizetype limit, Read read, Write write)
{
    for (;;) {
        const qsizetype before = buffer.size();
        QByteArray frame;
        const KeeperMessage::Take taken = KeeperMessage::takeFrame(buffer, limit, frame);
        if (taken != KeeperMessage::Take::Frame) {
            FUZZ_CHECK(buffer.size() == before);
            return;
        }
        FUZZ_CHECK(frame.size() <= limit && buffer.size() == before - 4 - frame.size());
        if (const auto message = read(frame)) {
            const QByteArray written = write(*message);
            FUZZ_CHECK(written.mid(4) == frame);
            FUZZ_CHECK(read(written.mid(4)).has_value());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    readAll(bytes, KeeperMessage::MaxRequest, KeeperMessage::readRequest,
            [](const KeeperRequest &request) { return KeeperMessage::request(request); });
    readAll(bytes, KeeperMessage::MaxAnswer, KeeperMessage::readAnswer,
            [](const KeeperAnswer &answer) { return KeeperMessage::answer(answer); });
    return 0;
}
