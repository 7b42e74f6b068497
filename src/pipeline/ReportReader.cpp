#include "pipeline/ReportReader.h"

#include "pipeline/CharRepair.h"
#include "pipeline/KeyTags.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <QFileInfo>

#include <cstring>
#include <string_view>
#include <unordered_map>

namespace
{

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes it leaves undefined
// map to the C1 control of the same number, as Windows' own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(const char *data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out[i] = (byte >= 0x80 && byte < 0xA0) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

bool isAscii(const char *data, qsizetype size)
{
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        if (word & Q_UINT64_C(0x8080808080808080))
            return false;
    }
    for (; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) & 0x80)
            return false;
    }
    return true;
}

qsizetype countLines(const char *p, const char *end)
{
    qsizetype lines = 0;
    while (p < end) {
        const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        ++lines;
        if (!newline)
            break;
        p = newline + 1;
    }
    return lines;
}

enum class Codec { Ascii, Utf8, Windows1252 };

QString decodePart(const char *data, qsizetype size, Codec codec)
{
    switch (codec) {
    case Codec::Ascii:
        return QString::fromLatin1(data, size);
    case Codec::Utf8:
        return QString::fromUtf8(data, size);
    case Codec::Windows1252:
        break;
    }
    return fromWindows1252(data, size);
}

// Names repeat throughout a report (the carried-over name of header lines, the same description
// in several groups, and above all the repeated structures that make a report long), so each
// distinct name is decoded, repaired and looked up among the key tags once. The keys point into
// the report's bytes, which outlive the cache.
class NameCache
{
public:
    struct Entry {
        QString name;
        bool bold = false;
    };

    Entry *find(std::string_view bytes, Codec codec)
    {
        const auto it = m_entries[index(codec)].find(bytes);
        return it == m_entries[index(codec)].end() ? nullptr : &it->second;
    }

    Entry *insert(std::string_view bytes, Codec codec, Entry entry)
    {
        auto &map = m_entries[index(codec)];
        // A report of ever new names gains nothing from the cache; keep its memory bounded.
        if (map.size() >= kMaxEntries)
            map.clear();
        return &map.emplace(bytes, std::move(entry)).first->second;
    }

private:
    static constexpr size_t kMaxEntries = 1 << 16;
    // The same bytes make a different name under the other decoding.
    static int index(Codec codec) { return codec == Codec::Windows1252 ? 1 : 0; }
    std::unordered_map<std::string_view, Entry> m_entries[2];
};

// One pass over the bytes. With finish set, names and values are repaired and bold marks set
// as the rows are made, so that a large report is walked once. A line that is all ASCII can
// only hold a find text of the repair table if it holds an '&'.
ReportRows parseBytes(const QByteArray &bytes, bool finish)
{
    ReportRows rows;
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    if (p == end)
        return rows;
    rows.reserve(countLines(p, end));

    NameCache cache;
    const NameCache::Entry noName;
    const NameCache::Entry *current = &noName;
    quint32 group = 0;
    std::unordered_map<std::string_view, quint32> groups; // header line -> its group's number
    while (p < end) {
        const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = newline ? newline : end;
        const char *const next = newline ? newline + 1 : end;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        const qsizetype length = lineEnd - p;

        // The byte ':' is the colon in both decodings and no multi-byte sequence contains it,
        // so the line splits at the same place before and after decoding, and it is valid UTF-8
        // exactly when both its parts are.
        const auto *colon = static_cast<const char *>(std::memchr(p, ':', size_t(length)));
        const char *const valueStart = colon ? colon + 1 : p;
        const qsizetype nameLength = colon ? colon - p : 0;
        const qsizetype valueLength = lineEnd - valueStart;
        const bool lineAscii = isAscii(p, length);
        const bool nameAscii = lineAscii || isAscii(p, nameLength);
        const bool valueAscii = lineAscii || isAscii(valueStart, valueLength);
        Codec lineCodec = Codec::Utf8;
        if ((!nameAscii && !QByteArrayView(p, nameLength).isValidUtf8()) ||
            (!valueAscii && !QByteArrayView(valueStart, valueLength).isValidUtf8()))
            lineCodec = Codec::Windows1252;

        ReportRow row;
        row.header = colon == nullptr;
        if (row.header && lineAscii && length > 10 && std::memcmp(p, "---- ", 5) == 0 &&
            std::memcmp(lineEnd - 5, " ----", 5) == 0) {
            // Group names are plain ASCII. A long report repeats its headers; each is looked up
            // once.
            const std::string_view key(p, size_t(length));
            auto known = groups.find(key);
            if (known == groups.end())
                known = groups.emplace(key, ReportGroups::id(groupOfHeaderLine(QString::fromLatin1(p, length)))).first;
            if (known->second != 0)
                group = known->second;
        }
        row.groupId = group;
        if (colon) {
            const Codec nameCodec = nameAscii ? Codec::Ascii : lineCodec;
            const std::string_view key(p, size_t(nameLength));
            NameCache::Entry *entry = cache.find(key, nameCodec);
            if (!entry) {
                NameCache::Entry made;
                made.name = decodePart(p, nameLength, nameCodec);
                if (finish) {
                    made.name = CharRepair::repair(made.name);
                    made.bold = KeyTags::isHighlighted(made.name);
                }
                entry = cache.insert(key, nameCodec, std::move(made));
            }
            current = entry;
        }
        // Shared with the cache: a repeated name costs no memory of its own.
        row.name = current->name;
        row.bold = current->bold;

        row.value = decodePart(valueStart, valueLength, valueAscii ? Codec::Ascii : lineCodec);
        if (finish && (!valueAscii || std::memchr(valueStart, '&', size_t(valueLength))))
            row.value = CharRepair::repair(row.value);

        rows.append(std::move(row));
        p = next;
    }
    return rows;
}

ReportReader::ReadResult readBytes(const QString &path, QByteArray *bytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return ReportReader::ReadResult::Missing;
    if (!info.isFile())
        return ReportReader::ReadResult::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReportReader::ReadResult::Unreadable;
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ReportReader::ReadResult::Unreadable;
    return ReportReader::ReadResult::Ok;
}

} // namespace

namespace ReportGroups
{

namespace
{
// Far more than any report has; a hostile one with ever new group names stops adding here,
// and its further groups go without a name.
constexpr qsizetype MaxNames = 1 << 16;

struct Names {
    QMutex mutex;
    QStringList byId{QString()};
    QHash<QString, quint32> ids{{QString(), 0}};
};

Names &names()
{
    static Names pool;
    return pool;
}
} // namespace

quint32 id(const QString &name)
{
    Names &pool = names();
    QMutexLocker lock(&pool.mutex);
    const auto it = pool.ids.constFind(name);
    if (it != pool.ids.constEnd())
        return *it;
    if (pool.byId.size() >= MaxNames)
        return 0;
    const quint32 made = quint32(pool.byId.size());
    pool.byId.append(name);
    pool.ids.insert(name, made);
    return made;
}

QString name(quint32 id)
{
    Names &pool = names();
    QMutexLocker lock(&pool.mutex);
    return pool.byId.value(qsizetype(id));
}

} // namespace ReportGroups

QString groupOfHeaderLine(const QString &line)
{
    static const QLatin1String open("---- ");
    static const QLatin1String close(" ----");
    if (line.size() <= open.size() + close.size() || !line.startsWith(open) || !line.endsWith(close) ||
        line.contains(QLatin1Char(':')))
        return QString();
    const QString name = line.mid(open.size(), line.size() - open.size() - close.size()).trimmed();
    return name;
}

namespace ReportReader
{

QString decodeLine(const char *data, qsizetype size)
{
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    return decodePart(data, size, QByteArrayView(data, size).isValidUtf8() ? Codec::Utf8 : Codec::Windows1252);
}

ReportRows parse(const QByteArray &bytes)
{
    return parseBytes(bytes, false);
}

ReportRows parseAndFinish(const QByteArray &bytes)
{
    return parseBytes(bytes, true);
}

ReadResult load(const QString &path, ReportRows *rows)
{
    rows->clear();
    QByteArray bytes;
    const ReadResult result = readBytes(path, &bytes);
    if (result == ReadResult::Ok)
        *rows = parseBytes(bytes, true);
    return result;
}

} // namespace ReportReader
