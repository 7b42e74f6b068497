#include "controls/Fonts.h"

#include "controls/DesignStyle.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void installFontSubstitutes()
{
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("Segoe UI")))
        return;
    QStringList substitutes;
    for (const char *face : {"Carlito", "Liberation Sans", "Arimo", "Noto Sans", "DejaVu Sans"}) {
        if (families.contains(QLatin1String(face)))
            substitutes << QLatin1String(face);
    }
    if (!substitutes.isEmpty())
        QFont::insertSubstitutions(QStringLiteral("Segoe UI"), substitutes);
}

void installDesignLook()
{
    installFontSubstitutes();
    QApplication::setStyle(new DesignStyle);
}
