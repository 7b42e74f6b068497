#include "pipeline/ReportReader.h"

#include "pipeline/CharRepair.h"
#include "pipeline/KeyTags.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

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

QString decodeNonAscii(const char *data, qsizetype size)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(data, size));
    if (!utf8.hasError())
        return text;
    return fromWindows1252(data, size);
}

// One pass over the bytes. With finish set, names and values are repaired and bold marks set
// as the rows are made, so that a large report is walked once; only lines that hold a byte
// outside ASCII or an '&' can hold a find text of the repair table.
ReportRows parseBytes(const QByteArray &bytes, bool finish)
{
    ReportRows rows;
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    if (p == end)
        return rows;
    rows.reserve(std::count(p, end, '\n') + 1);

    QString name;
    bool nameBold = false;
    while (p < end) {
        const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = newline ? newline : end;
        const char *const next = newline ? newline + 1 : end;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        const qsizetype length = lineEnd - p;

        ReportRow row;
        const bool ascii = isAscii(p, length);
        qsizetype colon = -1;
        if (ascii) {
            const auto *c = static_cast<const char *>(std::memchr(p, ':', size_t(length)));
            if (c) {
                colon = c - p;
                name = QString::fromLatin1(p, colon);
                row.value = QString::fromLatin1(c + 1, length - colon - 1);
            } else {
                row.value = QString::fromLatin1(p, length);
            }
        } else {
            // Both decodings map the byte ':' to the colon and nothing else to it, so the
            // decoded line splits where the bytes would.
            const QString line = decodeNonAscii(p, length);
            colon = line.indexOf(QLatin1Char(':'));
            if (colon >= 0) {
                name = line.left(colon);
                row.value = line.mid(colon + 1);
            } else {
                row.value = line;
            }
        }
        row.header = colon < 0;

        if (finish) {
            const bool candidate = !ascii || std::memchr(p, '&', size_t(length)) != nullptr;
            if (candidate) {
                if (!row.header)
                    name = CharRepair::repair(name);
                row.value = CharRepair::repair(row.value);
            }
            if (!row.header)
                nameBold = KeyTags::isHighlighted(name);
            row.bold = nameBold;
        }
        row.name = name;
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

namespace ReportReader {

QString decodeLine(const char *data, qsizetype size)
{
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    return decodeNonAscii(data, size);
}

ReportRows parse(const QByteArray &bytes) { return parseBytes(bytes, false); }

ReportRows parseAndFinish(const QByteArray &bytes) { return parseBytes(bytes, true); }

ReadResult readFile(const QString &path, ReportRows *rows)
{
    rows->clear();
    QByteArray bytes;
    const ReadResult result = readBytes(path, &bytes);
    if (result == ReadResult::Ok)
        *rows = parseBytes(bytes, false);
    return result;
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
