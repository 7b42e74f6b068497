// Any bytes as a report, down the whole text side of a photo's road: decoded lines, rows,
// character repair, bold marks, the camera pass, group jumps and the clipboard text.
#include "FuzzCheck.h"

#include "pipeline/CharRepair.h"
#include "pipeline/KeyTags.h"
#include "pipeline/ReportReader.h"
#include "summary/CameraSummary.h"
#include "summary/ClipboardText.h"
#include "summary/GroupNavigation.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{

bool sameRows(const ReportRows &a, const ReportRows &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].value != b[i].value || a[i].bold != b[i].bold || a[i].header != b[i].header)
            return false;
    }
    return true;
}

// Each row must be its line: the decoded line split at its first colon, or the whole line
// for a header, with LF or CR LF taken off.
void checkRowsAreLines(const QByteArray &bytes, const ReportRows &rows)
{
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    qsizetype index = 0;
    while (p < end) {
        const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = newline ? newline : end;
        const char *const next = newline ? newline + 1 : end;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        FUZZ_CHECK(index < rows.size());
        const ReportRow &row = rows[index];
        const QString line = ReportReader::decodeLine(p, lineEnd - p);
        if (row.header) {
            FUZZ_CHECK(!line.contains(QLatin1Char(':')));
            FUZZ_CHECK(row.value == line);
        } else {
            FUZZ_CHECK(!row.name.contains(QLatin1Char(':')));
            FUZZ_CHECK(row.name + QLatin1Char(':') + row.value == line);
        }
        // A header carries the name of the nearest tag line above it, or none at the top.
        if (row.header)
            FUZZ_CHECK(row.name == (index > 0 ? rows[index - 1].name : QString()));
        ++index;
        p = next;
    }
    FUZZ_CHECK(index == rows.size());
}

void checkCamera(const ReportRows &rows)
{
    std::array<QString, 12> before;
    before[3] = QStringLiteral("kept");
    const QString folder = QStringLiteral("/opt/lumoskop");
    const CameraSummary result = summarizeCamera(rows, before, folder);
    // Picture names come from report text: they must stay files directly in the folder.
    for (const QString &picture : {result.cameraPicture, result.lensPicture}) {
        if (picture.isEmpty())
            continue;
        FUZZ_CHECK(picture.startsWith(folder + QLatin1Char('/')));
        FUZZ_CHECK(picture.endsWith(QLatin1String(".jpg")));
        const QStringView file = QStringView(picture).mid(folder.size() + 1);
        FUZZ_CHECK(!file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\')));
    }
    FUZZ_CHECK(!result.cameraPicture.isEmpty());
}

void checkGroupJumps(const ReportRows &rows)
{
    for (int index = -1; index <= GroupNavigation::buttonCount; ++index) {
        const int target = GroupNavigation::targetRow(rows, index);
        FUZZ_CHECK(target >= -1 && target < rows.size());
        if (index == 0)
            FUZZ_CHECK(target == (rows.isEmpty() ? -1 : 0));
        else if (target >= 0)
            FUZZ_CHECK(rows[target].value == GroupNavigation::headerText(index));
    }
}

void checkClipboard(const ReportRows &rows, const QString &all, const uint8_t *data, size_t size)
{
    qsizetype expected = 0;
    for (const ReportRow &row : rows)
        expected += row.name.size() + row.value.size() + 3;
    FUZZ_CHECK(all.size() == expected);
    FUZZ_CHECK(rows.isEmpty() || all.endsWith(QLatin1String("\r\n")));

    // A selection picked from the input's first bytes, out of order, with repeats and
    // indices outside the list.
    QList<int> picked;
    for (size_t i = 0; i < std::min<size_t>(size, 16); ++i)
        picked.append(int(int8_t(data[i])) % (int(rows.size()) + 2));
    const QString some = clipboardText(rows, picked);
    QList<int> valid;
    for (int row : picked) {
        if (row >= 0 && row < rows.size() && !valid.contains(row))
            valid.append(row);
    }
    std::sort(valid.begin(), valid.end());
    QString inOrder;
    for (int row : valid)
        inOrder += clipboardText(ReportRows{rows[row]});
    FUZZ_CHECK(some == inOrder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // No copy: a read past the input's end then lands outside libFuzzer's exact-size buffer.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    // The road as the program takes it. Its time is what the one-second limit is for.
    const ReportRows finished = ReportReader::parseAndFinish(bytes);
    const auto lines = std::count(bytes.begin(), bytes.end(), '\n') + (bytes.endsWith('\n') || bytes.isEmpty() ? 0 : 1);
    FUZZ_CHECK(finished.size() == lines);
    checkCamera(finished);
    checkGroupJumps(finished);
    const QString all = clipboardText(finished);

    // The checks that do the work again another way, on inputs small enough that they do not
    // eat the time of the road itself (most of what the fuzzer makes is far below this).
    if (size > 64 * 1024)
        return 0;
    const ReportRows rows = ReportReader::parse(bytes);
    checkRowsAreLines(bytes, rows);
    // The one-pass reading must equal the three steps taken one after the other.
    ReportRows stepByStep = rows;
    CharRepair::SONDERZEICHEN(stepByStep);
    KeyTags::markBold(stepByStep);
    FUZZ_CHECK(sameRows(finished, stepByStep));
    checkClipboard(finished, all, data, size);
    return 0;
}
