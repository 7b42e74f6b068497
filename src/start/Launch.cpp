#include "start/Launch.h"

#include "exiftool/ProgramFolder.h"
#include "start/FirstRequest.h"
#include "start/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QSettings>

#include <cstdio>
#include <memory>

namespace
{

// Beside the program (the build tree), then where it is installed, as the sound module is.
WindowEntry *loadWindowLibrary()
{
    QString failure = QStringLiteral("not found");
    for (const QString &folder : ProgramFolder::helperFolders()) {
        const QString file = folder + QStringLiteral("/liblumoskop_window.so");
        if (!QFileInfo(file).isFile())
            continue;
        // Never unloaded: the window and everything of it lives in there to the end.
        QLibrary library(file);
        if (auto *entry = reinterpret_cast<WindowEntry *>(library.resolve("lumoskopWindow")))
            return entry;
        failure = library.errorString();
    }
    std::fprintf(stderr, "Lumoskop: the window library liblumoskop_window.so could not be loaded: %s\n",
                 qPrintable(failure));
    return nullptr;
}

} // namespace

int launchLumoskop(int argc, char *argv[], const StartHooks &hooks, StartedAhead ahead)
{
    // The program's title: it also names the settings file (~/.config/Lumoskop/Lumoskop.conf).
    QCoreApplication::setApplicationName(QStringLiteral("Lumoskop"));
    // One argument: the photo path, as a file manager's "open with" passes it. Several
    // arguments are joined with blanks into one path, as a command line would have been.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    Launched launched;
    launched.commandLine = args.join(QLatin1Char(' '));
    const std::unique_ptr<QSettings> settings(
        hooks.settingsFile.empty()
            ? SettingsStore::openUserSettings()
            : new QSettings(QFile::decodeName(hooks.settingsFile.c_str()), QSettings::IniFormat));
    launched.settings = settings.get();
    // Loading Perl and ExifTool's modules is most of what the first photo costs: it overlaps
    // the loading of the window library and all of the window's making. A keeper that holds
    // ExifTool warm is asked at once instead.
    launched.first = FirstRequest::start(launched.commandLine, SettingsStore(*settings), std::move(ahead));
    if (launched.first.keeperFd >= 0)
        launched.fontsAhead = std::make_unique<FontConfigAhead>();
    WindowEntry *window = loadWindowLibrary();
    if (!window) {
        launched.first.end();
        return 1;
    }
    return window(argc, argv, &hooks, &launched);
}
