#include "pipeline/CharRepair.h"

namespace
{

struct Pair {
    const char16_t *find;
    const char16_t *replacement;
};

// Written as code points so that no editor or compiler charset can change a character.
// Order matters: each pair works on the result of the ones before it, and the pairs for
// "Â²" and "Â³" stand twice so that a doubled prefix ("Â" + "Â²") comes out as "²".
constexpr Pair kTable[] = {
    {u"\u00C3\u0153", u"\u00DC"},                   // 1  Ãœ -> Ü
    {u"\u00C3&#339;", u"\u00DC"},                   // 2
    {u"\u00C3\u00BC", u"\u00FC"},                   // 3  Ã¼ -> ü
    {u"\u00C3\u201E", u"\u00C4"},                   // 4  Ã„ -> Ä
    {u"\u00C3&#8222;", u"\u00C4"},                  // 5
    {u"\u00C3\u00A4", u"\u00E4"},                   // 6  Ã¤ -> ä
    {u"\u00C3\u2013", u"\u00D6"},                   // 7  Ã– -> Ö
    {u"\u00C3&#8211;", u"\u00D6"},                  // 8
    {u"\u00C3\u00B6", u"\u00F6"},                   // 9  Ã¶ -> ö
    {u"\u00C3\u0178", u"\u00DF"},                   // 10 ÃŸ -> ß
    {u"\u00C3&#376;", u"\u00DF"},                   // 11
    {u"\u00E2\u201A\u00AC", u"\u20AC"},             // 12 â‚¬ -> €
    {u"\u00C2\u20AC", u"\u20AC"},                   // 13
    {u"&#8364;", u"\u20AC"},                        // 14
    {u"\u00C2\u00B0", u"\u00B0"},                   // 15
    {u"\u00C2\u00A7", u"\u00A7"},                   // 16
    {u"\u00C2\u00B2", u"\u00B2"},                   // 17
    {u"\u00C2\u00B3", u"\u00B3"},                   // 18
    {u"\u00C2\u00B5", u"\u00B5"},                   // 19
    {u"\u00C2\u00BB", u"\u00BB"},                   // 20
    {u"\u00C2\u00AB", u"\u00AB"},                   // 21
    {u"\u00C2\u00B4", u"\u00B4"},                   // 22
    {u"\u00C2\u00B9", u"\u00B9"},                   // 23
    {u"\u00C2\u00B2", u"\u00B2"},                   // 24 (again: doubled prefix)
    {u"\u00C2\u00B3", u"\u00B3"},                   // 25 (again: doubled prefix)
    {u"&lt;", u"<"},                                // 26
    {u"&gt;", u">"},                                // 27
    {u"\u00C2\u2022", u"\u2022"},                   // 28
    {u"\u00C2\u00B7", u"\u00B7"},                   // 29
    {u"\u00C2\u00A9", u"\u00A9"},                   // 30
    {u"\u00C2\u00AE", u"\u00AE"},                   // 31
    {u"\u00C2\u00BC", u"\u00BC"},                   // 32
    {u"\u00C2\u00BD", u"\u00BD"},                   // 33
    {u"\u00C2\u00BE", u"\u00BE"},                   // 34
    {u"\u00C2\u203A", u"\u203A"},                   // 35
    {u"\u00C2\u2039", u"\u2039"},                   // 36
    {u"\u00C2\u02C6", u"\u02C6"},                   // 37
    {u"\u00C2\u0152", u"\u0152"},                   // 38
    {u"\u00C2\u2030", u"\u2030"},                   // 39
    {u"\u00C2\u00A6", u"\u00A6"},                   // 40
    {u"\u00C3\u00A8", u"\u00E8"},                   // Ã¨ -> è, like its neighbours
    {u"\u00C2\u00E0", u"\u00E0"},                   // 41
    {u"\u00C3\u00A2\u20AC\u00C2\u201C", u"\u2013"}, // 42
    {u"\u00E2\u20AC\u201C", u"\u2013"},             // 43
    {u"\u00C2\u2013", u"\u2013"},                   // 44
    {u"\u00C2\u2014", u"\u2014"},                   // 45
    {u"\u00C2\u2026", u"\u2026"},                   // 46
    {u"\u00C2\u0192", u"\u0192"},                   // 47
    {u"\u00C2\u00AF", u"\u00AF"},                   // 48
    {u"\u00C2\u00B1", u"\u00B1"},                   // 49
    {u"\u00C2\u00A3", u"\u00A3"},                   // 50
    {u"\u00E2\u20AC\u017E", u"\u201E"},             // 51
    {u"\u00E2\u20AC\u0153", u"\u201C"},             // 52
    {u"\u00E2\u20AC\u02DC", u"\u2018"},             // 53
    {u"\u00E2\u20AC\u00A6", u"\u2026"},             // 54
    {u"\u00E2\u20AC\u0161", u"\u201A"},             // 55
    {u"\u00E2\u20AC\u2122", u"\u2019"},             // 56
};

// Every find text starts with one of these four characters, and no replacement contains one,
// so a pair whose first character is absent from the original text can never match.
inline int leadBit(char16_t c)
{
    switch (c) {
    case u'\u00C3':
        return 1;
    case u'\u00C2':
        return 2;
    case u'\u00E2':
        return 4;
    case u'&':
        return 8;
    default:
        return 0;
    }
}

int leadMask(QStringView text)
{
    int mask = 0;
    for (QChar c : text)
        mask |= leadBit(c.unicode());
    return mask;
}

} // namespace

namespace CharRepair
{

bool mayNeedRepair(QStringView text)
{
    for (QChar c : text) {
        if (leadBit(c.unicode()))
            return true;
    }
    return false;
}

QString repair(const QString &text)
{
    const int present = leadMask(text);
    if (!present)
        return text;
    QString result = text;
    for (const Pair &pair : kTable) {
        if (!(present & leadBit(pair.find[0])))
            continue;
        const QStringView find(pair.find);
        const QStringView replacement(pair.replacement);
        if (result.contains(find))
            result.replace(find.data(), find.size(), replacement.data(), replacement.size());
    }
    return result;
}

void SONDERZEICHEN(ReportRows &rows)
{
    for (ReportRow &row : rows) {
        if (mayNeedRepair(row.name))
            row.name = repair(row.name);
    }
    for (ReportRow &row : rows) {
        if (mayNeedRepair(row.value))
            row.value = repair(row.value);
    }
}

} // namespace CharRepair
