#include "app/LumoskopStart.h"

#include "app/SettingsStore.h"
#include "app/TerminationSignals.h"
#include "app/frmExifTool.h"
#include "controls/Fonts.h"
#include "dialogs/BoxLifetime.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoBrowser.h"

#include "LumoskopVersion.h"

#include <QApplication>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>

#include <memory>
#include <optional>

int runLumoskop(int argc, char *argv[], const StartHooks &hooks)
{
    // The program's title: it also names the settings file (~/.config/Lumoskop/Lumoskop.conf).
    QCoreApplication::setApplicationName(QStringLiteral("Lumoskop"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(LumoskopVersion::Text));
    // One argument: the photo path, as a file manager's "open with" passes it. Several
    // arguments are joined with blanks into one path, as a command line would have been.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);

    // ExifTool starts on the photo before anything of the toolkit exists: loading Perl and
    // ExifTool's modules is most of what the first photo costs, and it overlaps all of the
    // window's making. A keeper that holds ExifTool warm is asked at once instead.
    const std::unique_ptr<QSettings> settings(hooks.settingsFile.isEmpty()
                                                  ? SettingsStore::openUserSettings()
                                                  : new QSettings(hooks.settingsFile, QSettings::IniFormat));
    SettingsStore store(*settings);
    auto exiftool = std::make_unique<ExifToolService>();
    exiftool->useKeeper(store.exifToolWarmSeconds().value_or(SettingsStore::DefaultExifToolWarmSeconds));
    auto browser = std::make_unique<PhotoBrowser>(*exiftool);
    browser->setLanguage(store.language());
    browser->setShowExifTool(store.option(SettingsStore::ExiftoolCheck).value_or(false));
    browser->readCommandLine(args.join(QLatin1Char(' ')));
    const bool perlLoadsHere = exiftool->startBeforeEventLoop();
    // The other core reads the font configuration meanwhile, unless Perl loads there: then
    // ExifTool, not the window, is what the first photo waits for.
    std::optional<FontConfigAhead> fonts;
    if (!perlLoadsHere)
        fonts.emplace();

    QApplication app(argc, argv);
    // Made before the application object, they still end before it, with their processes.
    const auto endBeforeApplication = qScopeGuard([&] {
        browser.reset();
        exiftool.reset();
    });
    QApplication::setDesktopFileName(QStringLiteral("lumoskop"));
    fonts.reset();
    installDesignLook();
    // Also the main window's own file dialog closes with the window.
    BoxLifetime::watch();
    frmExifTool window(store, *browser);
    // The end of a session closes the window as "End" does, so no report is left behind, and
    // whatever box is open closes first.
    TerminationSignals endOfSession;
    QObject::connect(&endOfSession, &TerminationSignals::terminationRequested, &window,
                     [&window] { TerminationSignals::endSession(&window); });
    if (hooks.windowBuilt)
        hooks.windowBuilt(*browser);
    window.Form_Load();
    // Closed while ExifTool was still working on the photo from the command line: the last
    // window went before the event loop began, so nothing would end it.
    if (window.isHidden())
        return 0;
    return app.exec();
}
