#include "summary/MakerAddress.h"

namespace
{

bool isHostLabel(const QString &word)
{
    if (word.isEmpty() || word.size() > 63)
        return false;
    if (word.startsWith(QLatin1Char('-')) || word.endsWith(QLatin1Char('-')))
        return false;
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

QUrl makerAddress(const QString &cameraLabel)
{
    const qsizetype blank = cameraLabel.indexOf(QLatin1Char(' '));
    QString word = blank < 0 ? QString() : cameraLabel.left(blank);
    if (word == QLatin1String("Fuji"))
        word = QStringLiteral("Fujifilm");
    // Without this check a maker tag such as "evil.example/x?" would steer the browser to
    // any site, and an empty word would give the broken host "www..de".
    if (!isHostLabel(word))
        return QUrl();
    return QUrl(QStringLiteral("https://www.") + word.toLower() + QStringLiteral(".de"));
}
