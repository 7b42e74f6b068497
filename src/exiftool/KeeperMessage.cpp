#include "exiftool/KeeperMessage.h"

#include <QStringDecoder>
#include <QtEndian>

namespace KeeperMessage
{

namespace
{

constexpr char FormatVersion = 1;
const QByteArray RequestTag = QByteArrayLiteral("LKQ");
const QByteArray AnswerTag = QByteArrayLiteral("LKA");

// A day: a keeper asked to stay longer would outlive any desktop session anyway.
constexpr quint32 MaxWarmSeconds = 24 * 60 * 60;

class Writer
{
public:
    explicit Writer(const QByteArray &tag) : m_bytes(tag) { m_bytes += FormatVersion; }
    void u8(quint8 value) { m_bytes += char(value); }
    void u32(quint32 value)
    {
        char bytes[4];
        qToBigEndian(value, bytes);
        m_bytes.append(bytes, 4);
    }
    void i64(qint64 value)
    {
        char bytes[8];
        qToBigEndian(value, bytes);
        m_bytes.append(bytes, 8);
    }
    void bytes(const QByteArray &value)
    {
        u32(quint32(value.size()));
        m_bytes += value;
    }
    void text(const QString &value) { bytes(value.toUtf8()); }
    QByteArray frame() const
    {
        QByteArray whole(4, Qt::Uninitialized);
        qToBigEndian(quint32(m_bytes.size()), whole.data());
        return whole + m_bytes;
    }

private:
    QByteArray m_bytes;
};

// Reads fields off a frame; once a field does not fit, every later read fails too.
class Reader
{
public:
    Reader(const QByteArray &frame, const QByteArray &tag) : m_frame(frame)
    {
        m_ok = frame.size() > tag.size() && frame.startsWith(tag) && frame.at(tag.size()) == FormatVersion;
        m_pos = tag.size() + 1;
    }
    bool u8(quint8 &value)
    {
        if (!has(1))
            return false;
        value = quint8(m_frame.at(m_pos++));
        return true;
    }
    bool u32(quint32 &value)
    {
        if (!has(4))
            return false;
        value = qFromBigEndian<quint32>(m_frame.constData() + m_pos);
        m_pos += 4;
        return true;
    }
    bool i64(qint64 &value)
    {
        if (!has(8))
            return false;
        value = qFromBigEndian<qint64>(m_frame.constData() + m_pos);
        m_pos += 8;
        return true;
    }
    bool bytes(QByteArray &value)
    {
        quint32 size = 0;
        if (!u32(size) || !has(size))
            return false;
        value = m_frame.mid(m_pos, size);
        m_pos += size;
        return true;
    }
    // Only UTF-8 as the writer writes it: text that would decode to something else is nonsense.
    bool text(QString &value)
    {
        QByteArray raw;
        if (!bytes(raw))
            return false;
        QStringDecoder decode(QStringConverter::Utf8,
                              QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
        value = decode(raw);
        m_ok = !decode.hasError();
        return m_ok;
    }
    // Every byte was read, and every read fitted.
    bool done() const { return m_ok && m_pos == m_frame.size(); }

private:
    bool has(qint64 size)
    {
        m_ok = m_ok && size <= m_frame.size() - m_pos;
        return m_ok;
    }

    const QByteArray &m_frame;
    qsizetype m_pos = 0;
    bool m_ok = false;
};

} // namespace

Take takeFrame(QByteArray &buffer, qsizetype limit, QByteArray &frame)
{
    if (buffer.size() < 4)
        return Take::Incomplete;
    const quint32 size = qFromBigEndian<quint32>(buffer.constData());
    if (size > quint64(limit))
        return Take::Invalid;
    if (buffer.size() - 4 < qsizetype(size))
        return Take::Incomplete;
    frame = buffer.mid(4, size);
    buffer.remove(0, 4 + size);
    return Take::Frame;
}

QByteArray request(const KeeperRequest &request)
{
    Writer w(RequestTag);
    w.text(request.identity.version);
    w.text(request.identity.keeper.path);
    w.i64(request.identity.keeper.size);
    w.i64(request.identity.keeper.modified);
    w.text(request.identity.exiftool);
    w.u32(quint32(request.warmSeconds));
    w.u8(quint8(request.ask.kind));
    w.text(request.ask.photo);
    w.text(request.ask.language);
    return w.frame();
}

std::optional<KeeperRequest> readRequest(const QByteArray &frame)
{
    KeeperRequest request;
    Reader r(frame, RequestTag);
    quint32 warm = 0;
    quint8 kind = 0;
    if (!r.text(request.identity.version) || !r.text(request.identity.keeper.path) ||
        !r.i64(request.identity.keeper.size) || !r.i64(request.identity.keeper.modified) ||
        !r.text(request.identity.exiftool) || !r.u32(warm) || !r.u8(kind) || !r.text(request.ask.photo) ||
        !r.text(request.ask.language) || !r.done())
        return std::nullopt;
    if (warm > MaxWarmSeconds || kind <= quint8(ExifToolAsk::Kind::None) || kind > quint8(ExifToolAsk::Kind::Previews))
        return std::nullopt;
    request.warmSeconds = int(warm);
    request.ask.kind = ExifToolAsk::Kind(kind);
    return request;
}

bool isForeignRequest(const QByteArray &frame)
{
    return frame.size() > RequestTag.size() && frame.startsWith(RequestTag) &&
           frame.at(RequestTag.size()) != FormatVersion;
}

QByteArray answer(const KeeperAnswer &answer)
{
    Writer w(AnswerTag);
    w.u8(quint8(answer.kind));
    switch (answer.kind) {
    case KeeperAnswer::Kind::Printed:
        w.text(answer.errorText);
        w.bytes(answer.output);
        break;
    case KeeperAnswer::Kind::NotMe:
        w.u8(answer.givingWay ? 1 : 0);
        break;
    case KeeperAnswer::Kind::Refused:
        break;
    }
    return w.frame();
}

std::optional<KeeperAnswer> readAnswer(const QByteArray &frame)
{
    KeeperAnswer answer;
    Reader r(frame, AnswerTag);
    quint8 kind = 0;
    if (!r.u8(kind))
        return std::nullopt;
    bool ok = false;
    switch (kind) {
    case quint8(KeeperAnswer::Kind::Printed):
        ok = r.text(answer.errorText) && r.bytes(answer.output);
        break;
    case quint8(KeeperAnswer::Kind::NotMe): {
        quint8 givingWay = 0;
        ok = r.u8(givingWay) && givingWay <= 1;
        answer.givingWay = givingWay == 1;
        break;
    }
    case quint8(KeeperAnswer::Kind::Refused):
        ok = true;
        break;
    }
    if (!ok || !r.done())
        return std::nullopt;
    answer.kind = KeeperAnswer::Kind(kind);
    return answer;
}

} // namespace KeeperMessage
