#include "pipeline/PhotoBrowsing.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace PhotoBrowsing {

const QStringList &photoExtensions()
{
    static const QStringList extensions = {
        // the file dialog's own
        "jpg", "jpeg", "png", "bmp",
        // camera raw types
        "cr2", "cr3", "crw", "nef", "nrw", "arw", "srf", "sr2", "dng", "orf", "rw2", "raf", "pef", "srw", "x3f",
        "3fr", "iiq", "rwl", "erf", "mrw", "kdc", "dcr", "mos"};
    return extensions;
}

bool isPhoto(const QString &fileName)
{
    return photoExtensions().contains(QFileInfo(fileName).suffix().toLower());
}

namespace {
// Numbers by value, the rest without regard to case. The collator's numeric mode would do,
// but it is missing where Qt runs without ICU or in the C locale.
struct NameOrder {
    int compare(const QString &a, const QString &b) const
    {
        qsizetype i = 0, j = 0;
        while (i < a.size() && j < b.size()) {
            if (a[i].isDigit() && b[j].isDigit()) {
                qsizetype ei = i, ej = j;
                while (ei < a.size() && a[ei].isDigit())
                    ++ei;
                while (ej < b.size() && b[ej].isDigit())
                    ++ej;
                QStringView na = QStringView(a).mid(i, ei - i), nb = QStringView(b).mid(j, ej - j);
                while (na.size() > 1 && na.front() == QLatin1Char('0'))
                    na = na.mid(1);
                while (nb.size() > 1 && nb.front() == QLatin1Char('0'))
                    nb = nb.mid(1);
                if (na.size() != nb.size())
                    return na.size() < nb.size() ? -1 : 1;
                if (const int c = na.compare(nb); c != 0)
                    return c;
                i = ei;
                j = ej;
                continue;
            }
            const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
            if (ca != cb)
                return ca < cb ? -1 : 1;
            ++i;
            ++j;
        }
        if (i < a.size() || j < b.size())
            return i < a.size() ? 1 : -1;
        return QString::compare(a, b);
    }
};
NameOrder nameOrder() { return NameOrder(); }
} // namespace

QStringList photosInFolder(const QString &folder)
{
    QStringList photos;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : entries) {
        if (isPhoto(fi.fileName()))
            photos << fi.fileName();
    }
    const NameOrder order = nameOrder();
    std::stable_sort(photos.begin(), photos.end(),
                     [&order](const QString &a, const QString &b) { return order.compare(a, b) < 0; });
    return photos;
}

QString neighbour(const QString &photoPath, int step)
{
    if (photoPath.trimmed().isEmpty() || step == 0)
        return QString();
    const QFileInfo current(photoPath);
    const QString folder = current.absolutePath();
    const QStringList photos = photosInFolder(folder);
    const NameOrder order = nameOrder();
    // Where the current name stands (or would stand) in the sorted list.
    const auto lower = std::lower_bound(photos.begin(), photos.end(), current.fileName(),
                                        [&order](const QString &a, const QString &b) { return order.compare(a, b) < 0; });
    qsizetype pos = lower - photos.begin();
    const bool present = lower != photos.end() && *lower == current.fileName();
    qsizetype target;
    if (step > 0)
        target = present ? pos + 1 : pos;
    else
        target = pos - 1;
    if (target < 0 || target >= photos.size())
        return QString();
    return QDir(folder).filePath(photos.at(target));
}

} // namespace PhotoBrowsing
