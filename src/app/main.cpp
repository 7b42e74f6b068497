#include "app/SettingsStore.h"
#include "app/TerminationSignals.h"
#include "app/frmExifTool.h"
#include "controls/Fonts.h"
#include "dialogs/BoxLifetime.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoBrowser.h"

#include "LumoskopVersion.h"

#include <QApplication>
#include <QSettings>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program's title: it also names the settings file (~/.config/Lumoskop/Lumoskop.conf).
    QApplication::setApplicationName(QStringLiteral("Lumoskop"));
    QApplication::setApplicationVersion(QString::fromLatin1(LumoskopVersion::Text));
    QApplication::setDesktopFileName(QStringLiteral("lumoskop"));

    // One argument: the photo path, as a file manager's "open with" passes it. Several
    // arguments are joined with blanks into one path, as a command line would have been.
    QStringList args = QApplication::arguments();
    args.removeFirst();

    const std::unique_ptr<QSettings> settings(SettingsStore::openUserSettings());
    SettingsStore store(*settings);
    ExifToolService exiftool;
    exiftool.useKeeper(store.exifToolWarmSeconds().value_or(SettingsStore::DefaultExifToolWarmSeconds));
    PhotoBrowser browser(exiftool);
    // ExifTool starts on the photo now, so that Perl's start overlaps the window's making.
    browser.setLanguage(store.language());
    browser.setShowExifTool(store.option(SettingsStore::ExiftoolCheck).value_or(false));
    browser.readCommandLine(args.join(QLatin1Char(' ')));

    installDesignLook();
    // Also the main window's own file dialog closes with the window.
    BoxLifetime::watch();
    frmExifTool window(store, browser);
    // The end of a session closes the window as "End" does, so no report is left behind, and
    // whatever box is open closes first.
    TerminationSignals endOfSession;
    QObject::connect(&endOfSession, &TerminationSignals::terminationRequested, &window,
                     [&window] { TerminationSignals::endSession(&window); });
    window.Form_Load();
    // Closed while ExifTool was still working on the photo from the command line: the last
    // window went before the event loop began, so nothing would end it.
    if (window.isHidden())
        return 0;
    return app.exec();
}
