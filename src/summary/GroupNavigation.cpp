#include "summary/GroupNavigation.h"

namespace GroupNavigation
{

QString headerText(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("---- IFD0 ----");
    case 2:
        return QStringLiteral("---- ExifIFD ----");
    case 3:
        return QStringLiteral("---- XMP-x ----");
    case 4:
        return QStringLiteral("---- IPTC ----");
    case 5:
        return QStringLiteral("---- Composite ----");
    default:
        return QString();
    }
}

int targetRow(const ReportRows &rowsInListOrder, int index)
{
    if (index == 0)
        return rowsInListOrder.isEmpty() ? -1 : 0;
    const QString header = headerText(index);
    if (header.isEmpty())
        return -1;
    // The value alone identifies a header row: a tag line's value starts with the blank
    // after its colon, so no tag can pass for a header.
    for (qsizetype row = 0; row < rowsInListOrder.size(); ++row) {
        if (rowsInListOrder.at(row).value == header)
            return int(row);
    }
    return -1;
}

bool storesIndex(int index, int targetRow)
{
    if (index == 0)
        return true;
    return index > 0 && index < buttonCount && targetRow >= 0;
}

} // namespace GroupNavigation
