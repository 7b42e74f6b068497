#include "app/frmExifTool.h"
#include "controls/Fonts.h"

#include "LumoskopVersion.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program's title: it also names the settings file (~/.config/Lumoskop/Lumoskop.conf).
    QApplication::setApplicationName(QStringLiteral("Lumoskop"));
    QApplication::setApplicationVersion(QString::fromLatin1(LumoskopVersion::Text));
    QApplication::setDesktopFileName(QStringLiteral("lumoskop"));
    installFontSubstitutes();

    // One argument: the photo path, as a file manager's "open with" passes it. Several
    // arguments are joined with blanks into one path, as a command line would have been.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    frmExifTool window;
    window.Form_Load(args.join(QLatin1Char(' ')));
    return app.exec();
}
