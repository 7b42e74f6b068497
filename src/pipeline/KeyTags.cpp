#include "pipeline/KeyTags.h"

#include <iterator>

namespace
{

constexpr const char16_t *kNames[] = {
    // German descriptions
    u"Erstellertool",
    u"\u00C4nderungsdatum",
    u"Ger\u00E4tehersteller",
    u"Kameramodell",
    u"Belichtungsprogramm",
    u"ISO-Empfindlichkeit",
    u"Belichtungszeit",
    u"Belichtungsdauer",
    u"Blende",
    u"F-Wert",
    u"Belichtungskorrektur",
    u"Brennweite",
    u"Belichtungsmodus",
    u"Szenenaufnahmetyp",
    u"Objektiv-Typ",
    u"Objektiv",
    u"Erstellungsdatum/-uhrzeit",
    u"Belichtungsmessmethode",
    u"Messmethode",
    u"Wei\u00DFabgleich",
    u"Ger\u00E4te-Hersteller",
    u"Ger\u00E4te-Modell",
    u"Formatfaktor zu 35 mm",
    u"Objektiv-ID",
    u"Hyperfokale Entfernung",
    u"Brennweite in 35 mm-Kleinbildformat",
    // English descriptions
    u"Creator Tool",
    u"Modify Date",
    u"Make",
    u"Camera Model Name",
    u"Exposure Program",
    u"ISO",
    u"Exposure Time",
    u"Aperture Value",
    u"F Number",
    u"Aperture",
    u"Exposure Compensation",
    u"Focal Length",
    u"Exposure Mode",
    u"Scene Capture Type",
    u"Lens Model",
    u"Lens",
    u"Shutter Speed Value",
    u"Shutter Speed",
    u"Date/Time Original",
    u"Metering Mode",
    u"White Balance",
    u"Device Manufacturer",
    u"Device Model",
    u"Scale Factor To 35 mm",
    u"Scale Factor To 35 mm Equivalent",
    u"Lens ID",
    u"Hyperfocal Distance",
    u"Focal Length In 35mm Format",
};
static_assert(std::size(kNames) == 54, "the highlighted-name table holds 54 names");

// Names are bucketed by length, so that a row costs a trim and at most a handful of compares
// (a million-line report is highlighted in one pass).
constexpr qsizetype kMaxLength = 40;

struct Index {
    QList<QStringView> byLength[kMaxLength + 1];
    Index()
    {
        for (const char16_t *name : kNames) {
            const QStringView view(name);
            Q_ASSERT(view.size() <= kMaxLength);
            byLength[view.size()].append(view);
        }
    }
};

const Index &index()
{
    static const Index instance;
    return instance;
}

inline bool isBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

} // namespace

namespace KeyTags
{

bool isHighlighted(QStringView name)
{
    // Only blanks are trimmed, as ExifTool pads its descriptions with blanks alone.
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && isBlank(name[begin]))
        ++begin;
    while (end > begin && isBlank(name[end - 1]))
        --end;
    const qsizetype length = end - begin;
    if (length == 0 || length > kMaxLength)
        return false;
    const QStringView trimmed = name.mid(begin, length);
    for (const QStringView candidate : index().byLength[length]) {
        if (candidate == trimmed)
            return true;
    }
    return false;
}

bool isHighlighted(const QString &untrimmedName)
{
    return isHighlighted(QStringView(untrimmedName));
}

void markBold(ReportRows &rows)
{
    const QString *previousName = nullptr;
    bool previousBold = false;
    for (ReportRow &row : rows) {
        // Carried-over names share the text of the line above; no need to look them up again.
        const bool same = previousName && previousName->constData() == row.name.constData() &&
                          previousName->size() == row.name.size();
        const bool bold = same ? previousBold : isHighlighted(row.name);
        if (bold)
            row.bold = true;
        previousName = &row.name;
        previousBold = bold;
    }
}

QStringList names()
{
    QStringList list;
    for (const char16_t *name : kNames)
        list.append(QString::fromUtf16(name));
    return list;
}

} // namespace KeyTags
