#include "pipeline/EnglishNames.h"

#include "pipeline/KeyTags.h"
#include "pipeline/ReportReader.h"

namespace EnglishNames
{

bool needed(const QString &language)
{
    return language != QLatin1String("de") && language != QLatin1String("en");
}

QStringList fromListing(const ReportRows &rows, const QByteArray &listing)
{
    const ReportRows english = ReportReader::parse(listing);
    if (english.size() != rows.size())
        return {};
    QStringList names;
    names.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        // Group names are never translated: the headers must stand on the same lines.
        if (english.at(i).header != rows.at(i).header || english.at(i).groupId != rows.at(i).groupId)
            return {};
        names << english.at(i).name;
    }
    return names;
}

void markBold(ReportRows &rows, const QStringList &englishNames)
{
    if (englishNames.size() != rows.size())
        return;
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i].bold = KeyTags::isHighlighted(englishNames.at(i));
}

} // namespace EnglishNames
