#include "app/LumoskopStart.h"

#include "app/TerminationSignals.h"
#include "app/frmExifTool.h"
#include "controls/Fonts.h"
#include "dialogs/BoxLifetime.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoBrowser.h"
#include "start/SettingsStore.h"

#include "LumoskopVersion.h"

#include <QApplication>
#include <QScopeGuard>

#include <memory>

int runLumoskop(int argc, char *argv[], const StartHooks &hooks, Launched &launched)
{
    // Named by the launcher already, which opened the settings file under that name.
    QCoreApplication::setApplicationVersion(QString::fromLatin1(LumoskopVersion::Text));

    // Still before anything of the toolkit exists: the request the launcher started is taken
    // over by the service, where it is the one the window would make.
    SettingsStore store(*launched.settings);
    auto exiftool = std::make_unique<ExifToolService>();
    exiftool->useKeeper(store.exifToolWarmSeconds().value_or(SettingsStore::DefaultExifToolWarmSeconds));
    auto browser = std::make_unique<PhotoBrowser>(*exiftool);
    browser->setLanguage(store.language());
    browser->setShowExifTool(store.option(SettingsStore::ExiftoolCheck).value_or(false));
    browser->readCommandLine(launched.commandLine);
    const bool perlLoadsHere = exiftool->startBeforeEventLoop(&launched.first);
    // The other core reads the font configuration meanwhile, if the launcher has not begun it,
    // unless Perl loads there: then ExifTool, not the window, is what the first photo waits for.
    std::unique_ptr<FontConfigAhead> fonts = std::move(launched.fontsAhead);
    if (!fonts && !perlLoadsHere)
        fonts = std::make_unique<FontConfigAhead>();

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
        hooks.windowBuilt();
    if (hooks.listFilled) {
        // After the window's own receiver: the list is filled by then.
        QObject::connect(browser.get(), &PhotoBrowser::shown, &window,
                         [&hooks, &window](const QString &, const ReportRows &rows) {
                             if (hooks.listFilled(int(rows.size())))
                                 QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
                         });
    }
    window.Form_Load();
    // Closed while ExifTool was still working on the photo from the command line: the last
    // window went before the event loop began, so nothing would end it.
    if (window.isHidden())
        return 0;
    return app.exec();
}
