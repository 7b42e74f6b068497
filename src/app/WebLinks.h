#pragma once

#include <QDesktopServices>
#include <QUrl>

// Every web page the menus open, in one place (the README lists them too).
namespace WebLinks
{
constexpr const char *Website = "https://lumoskop.qwerin.de/";
constexpr const char *License = "https://lumoskop.qwerin.de/lizenz";
constexpr const char *ProblemReport = "https://lumoskop.qwerin.de/kontakt";
constexpr const char *Download = "https://lumoskop.qwerin.de/download";
constexpr const char *Donation = "https://lumoskop.qwerin.de/spenden";
constexpr const char *ExifToolHome = "https://exiftool.org";
} // namespace WebLinks

namespace WebLinks
{
// Hands an address to the desktop's browser; one that is empty or not valid opens nothing.
inline void open(const QUrl &address)
{
    if (address.isValid() && !address.isEmpty())
        QDesktopServices::openUrl(address);
}
} // namespace WebLinks
