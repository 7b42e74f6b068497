#include "Files.h"
#include "TestPhotos.h"
#include "start/SettingsStore.h"
#include "exiftool/KeeperPlace.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocalSocket>
#include <QMimeDatabase>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// Installs the built program into a temporary prefix, the way a user does with
// `cmake --install build --prefix ~/.local`, and checks what a desktop then relies on: a valid
// desktop entry that starts the installed program on a photo, its icon, the AppStream file,
// and a program that works from any folder with nothing beside it but what was installed.
namespace
{

const char *EntryPath = "share/applications/lumoskop.desktop";
const char *MetainfoPath = "share/metainfo/io.github.lumoskop.Lumoskop.metainfo.xml";

struct ToolRun {
    int exitCode = -1;
    QString output; // standard output and error together, for the failure message
};

ToolRun runTool(const QString &program, const QStringList &arguments, int timeoutMs = 120000)
{
    ToolRun result;
    QProcess proc;
    proc.setProcessChannelMode(QProcess::MergedChannels);
    proc.start(program, arguments);
    if (!proc.waitForStarted(60000) || !proc.waitForFinished(timeoutMs)) {
        proc.kill();
        proc.waitForFinished(5000);
        result.output = program + QStringLiteral(": did not run to its end");
        return result;
    }
    result.exitCode = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    result.output = QString::fromUtf8(proc.readAll());
    return result;
}

// The raw values of the [Desktop Entry] group, keyed by name (localised keys included).
QMap<QString, QString> readDesktopEntry(const QString &path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    bool inGroup = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            values.insert(line.section(QLatin1Char('='), 0, 0).trimmed(), line.section(QLatin1Char('='), 1));
    }
    return values;
}

// The command line a launcher builds from an Exec value for one file, by the desktop entry
// rules: string escapes first, then arguments split at blanks with double-quoted arguments
// taking \" \` \$ \\, then the field codes (%f the file, %% a percent sign, others dropped).
QStringList execCommand(const QString &exec, const QString &file)
{
    QString line;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
            const QChar n = exec.at(++i);
            line += n == QLatin1Char('s')   ? QChar(' ')
                    : n == QLatin1Char('t') ? QChar('\t')
                    : n == QLatin1Char('n') ? QChar('\n')
                                            : n;
        } else {
            line += c;
        }
    }
    QStringList words;
    QString word;
    bool inWord = false, quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < line.size() && QStringLiteral("\"`$\\").contains(line.at(i + 1)))
                word += line.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    QStringList command;
    for (const QString &w : std::as_const(words)) {
        if (w == QLatin1String("%f"))
            command << file;
        else if (w.size() == 2 && w.startsWith(QLatin1Char('%')) && w != QLatin1String("%%"))
            continue;
        else
            command << QString(w).replace(QLatin1String("%%"), QLatin1String("%"));
    }
    return command;
}

// The average difference per colour channel, 0 to 255, of two same-sized pictures over white.
double meanDifference(const QImage &a, const QImage &b)
{
    QImage x(a.size(), QImage::Format_RGB32), y(b.size(), QImage::Format_RGB32);
    x.fill(Qt::white);
    y.fill(Qt::white);
    QPainter(&x).drawImage(0, 0, a);
    QPainter(&y).drawImage(0, 0, b);
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return double(sum) / (3.0 * x.width() * x.height());
}

// The program never ends by itself; it must not outlive a failed check either.
void endProgram(QProcess &program)
{
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(5000);
    }
}

} // namespace

class tst_Install : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        QVERIFY2(!cmake.isEmpty(), "cmake is not on PATH");
        // A home folder with a blank is common, and "$" and "%" mean something in an Exec line.
        m_prefix = m_tmp.filePath(QStringLiteral("home of $USER 100%/.local"));
        const ToolRun install = runTool(cmake, {QStringLiteral("--install"), QStringLiteral(LUMOSKOP_BINARY_DIR),
                                                QStringLiteral("--prefix"), m_prefix});
        m_installLog = install.output;
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    }

    void installsEveryFileInsideThePrefix_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("program") << "bin/lumoskop";
        QTest::newRow("launch module") << QStringLiteral(LUMOSKOP_INSTALL_LIBDIR "/lumoskop/liblumoskop_launch.so");
        QTest::newRow("window library") << QStringLiteral(LUMOSKOP_INSTALL_LIBDIR "/lumoskop/liblumoskop_window.so");
        QTest::newRow("desktop entry") << EntryPath;
        QTest::newRow("metainfo") << MetainfoPath;
        QTest::newRow("manual page") << "share/man/man1/lumoskop.1";
        QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/lumoskop.svg";
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("icon %d", size) << QStringLiteral("share/icons/hicolor/%1x%1/apps/lumoskop.png").arg(size);
    }
    void installsEveryFileInsideThePrefix()
    {
        QFETCH(QString, file);
        QVERIFY2(QFileInfo::exists(m_prefix + QLatin1Char('/') + file), qPrintable(m_installLog));
        // A rule with an absolute destination would write outside ~/.local, or fail without root.
        const QString prefix = QDir::cleanPath(m_prefix) + QLatin1Char('/');
        for (const QString &line : m_installLog.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("-- Installing: ")) || line.startsWith(QLatin1String("-- Up-to-date: ")))
                QVERIFY2(line.section(QLatin1String(": "), 1).startsWith(prefix), qPrintable(line));
        }
        QVERIFY(QFileInfo(m_prefix + QLatin1String("/bin/lumoskop")).isExecutable());
    }

    void desktopFilesPassTheirValidators()
    {
        const QString desktopValidate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (desktopValidate.isEmpty() || appstream.isEmpty())
            QSKIP("desktop-file-validate or appstreamcli missing (scripts/install-deps.sh --test)");
        const ToolRun entry = runTool(desktopValidate, {m_prefix + QLatin1Char('/') + EntryPath});
        QVERIFY2(entry.exitCode == 0 && entry.output.trimmed().isEmpty(), qPrintable(entry.output));
        const ToolRun metainfo = runTool(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                     m_prefix + QLatin1Char('/') + MetainfoPath});
        QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.output));

        // The metainfo names the entry and icon that were installed beside it.
        QFile xml(m_prefix + QLatin1Char('/') + MetainfoPath);
        QVERIFY(xml.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(xml.readAll());
        QVERIFY(text.contains(QLatin1String("<launchable type=\"desktop-id\">lumoskop.desktop</launchable>")));
        QVERIFY(text.contains(QLatin1String("<icon type=\"stock\">lumoskop</icon>")));
    }

    void desktopEntryStartsTheInstalledProgramOnTheFile()
    {
        const auto entry = readDesktopEntry(m_prefix + QLatin1Char('/') + EntryPath);
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Lumoskop"));
        QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
        const QString program = m_prefix + QLatin1String("/bin/lumoskop");
        // Exactly one file per start: the program joins several arguments into one path.
        QCOMPARE(execCommand(entry.value(QStringLiteral("Exec")), QStringLiteral("/photos/a b.jpg")),
                 QStringList({program, QStringLiteral("/photos/a b.jpg")}));
        QCOMPARE(entry.value(QStringLiteral("TryExec")), program);
    }

    // The desktop's icon is the window's icon: the name the program announces, the same drawing.
    void iconIsTheProgramsOwn_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }
    void iconIsTheProgramsOwn()
    {
        QFETCH(int, size);
        const auto entry = readDesktopEntry(m_prefix + QLatin1Char('/') + EntryPath);
        const QString icon = entry.value(QStringLiteral("Icon"));
        QCOMPARE(icon, QStringLiteral("lumoskop"));
        QCOMPARE(entry.value(QStringLiteral("StartupWMClass")), QStringLiteral("Lumoskop"));

        const QString hicolor = m_prefix + QLatin1String("/share/icons/hicolor/");
        QFile svg(hicolor + QLatin1String("scalable/apps/") + icon + QLatin1String(".svg"));
        QFile windowIcon(QStringLiteral(":/app/lumoskop.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly) && windowIcon.open(QIODevice::ReadOnly));
        QCOMPARE(svg.readAll(), windowIcon.readAll());

        const QImage png(hicolor + QStringLiteral("%1x%1/apps/").arg(size) + icon + QLatin1String(".png"));
        QCOMPARE(png.size(), QSize(size, size));
        // Rendered from the current drawing: a PNG left over from an older icon differs widely,
        // two renderers of the same drawing only at the anti-aliased edges.
        QImage drawn(size, size, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        QSvgRenderer(QStringLiteral(":/app/lumoskop.svg")).render(&painter);
        painter.end();
        const double difference = meanDifference(png, drawn);
        QVERIFY2(difference < 6.0, qPrintable(QStringLiteral("mean difference %1").arg(difference)));
    }

    // "Open with Lumoskop" is offered for a file when the entry lists its type or a parent type.
    void offeredForPhotoFiles_data()
    {
        QTest::addColumn<QString>("fileName");
        for (const char *name : {"a.jpg", "a.JPEG", "a.png", "a.tif", "a.tiff", "a.heic", "a.webp", "a.cr2", "a.cr3",
                                 "a.crw", "a.nef", "a.arw", "a.dng", "a.orf", "a.rw2", "a.raf", "a.pef", "a.srf"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void offeredForPhotoFiles()
    {
        QFETCH(QString, fileName);
        const auto entry = readDesktopEntry(m_prefix + QLatin1Char('/') + EntryPath);
        const QStringList listed = entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const QMimeDatabase db;
        const QMimeType type = db.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
        QVERIFY2(!type.isDefault(), qPrintable(fileName + QLatin1String(" has no type on this machine")));
        bool offered = false;
        for (const QString &name : listed)
            offered = offered || type.inherits(name);
        QVERIFY2(offered, qPrintable(type.name()));
    }

    void listsOnlyKnownTypes()
    {
        const auto entry = readDesktopEntry(m_prefix + QLatin1Char('/') + EntryPath);
        const QStringList listed = entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QVERIFY(listed.size() > 10);
        const QMimeDatabase db;
        for (const QString &name : listed)
            QVERIFY2(db.mimeTypeForName(name).isValid(), qPrintable(name));
    }

    // Started the way a file manager starts it, from a folder that is neither its own nor the
    // photo's, with nothing but the installed files: ExifTool comes from PATH, the report
    // appears beside the photo, and nothing lands in the folder it was started from.
    void installedProgramReadsAPhotoFromAnyFolder()
    {
        if (TestPhotos::exiftool().isEmpty())
            QSKIP("exiftool is not on PATH");
        QVERIFY(!QFileInfo::exists(m_prefix + QLatin1String("/bin/exiftool")));
        QVERIFY(QDir(m_tmp.path()).mkpath(QStringLiteral("photos")) &&
                QDir(m_tmp.path()).mkpath(QStringLiteral("elsewhere")));
        const QString photo = m_tmp.filePath(QStringLiteral("photos/Bild 1.jpg"));
        const QString report = m_tmp.filePath(QStringLiteral("photos/Bild 1.txt"));
        QVERIFY(TestPhotos::makeCameraPhoto(photo));

        // "TXT save" on, so the report stays beside the photo while the program shows it. The
        // file is the one the program's settings store opens, moved into a config folder of our own.
        QCoreApplication::setApplicationName(QStringLiteral("Lumoskop"));
        const std::unique_ptr<QSettings> userSettings(SettingsStore::openUserSettings());
        const QString config = m_tmp.filePath(QStringLiteral("config"));
        const QString settingsFile = config + QLatin1Char('/') +
                                     QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                                         .relativeFilePath(userSettings->fileName());
        {
            QSettings settings(settingsFile, QSettings::IniFormat);
            settings.setValue(QStringLiteral("Options/TXTcheck"), QStringLiteral("1"));
            settings.sync();
            QCOMPARE(settings.status(), QSettings::NoError);
        }

        const auto entry = readDesktopEntry(m_prefix + QLatin1Char('/') + EntryPath);
        const QStringList command = execCommand(entry.value(QStringLiteral("Exec")), photo);
        QVERIFY(command.size() == 2);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_tmp.filePath(QStringLiteral("data")));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(m_tmp.filePath(QStringLiteral("elsewhere")));
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(command.at(0), command.mid(1));
        QVERIFY2(program.waitForStarted(60000), qPrintable(program.errorString()));
        const auto stop = qScopeGuard([&program] { endProgram(program); });

        const auto reportText = [&report] {
            QFile file(report);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(reportText().contains(QLatin1String("---- Composite ----")), 60000);
        QVERIFY(reportText().contains(QLatin1String("Canon EOS 5D Mark IV")));
        const auto settingsText = [&settingsFile] {
            QFile file(settingsFile);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(settingsText().contains(QLatin1String("ProgrammName=L u m o s k o p")), 60000);
        QCOMPARE(program.state(), QProcess::Running);
        QVERIFY(QDir(m_tmp.filePath(QStringLiteral("elsewhere"))).isEmpty());
    }

    // A program whose launch module or window library is missing says so and ends, and leaves
    // behind no ExifTool it started meanwhile.
    void withoutItsModulesTheProgramSaysSo_data()
    {
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QString>("missing");
        QTest::newRow("launch module") << QStringList() << "liblumoskop_launch.so";
        QTest::newRow("window library") << QStringList{"liblumoskop_launch.so"} << "liblumoskop_window.so";
    }
    void withoutItsModulesTheProgramSaysSo()
    {
        QFETCH(QStringList, beside);
        QFETCH(QString, missing);
        const QString alone = m_tmp.filePath(QStringLiteral("alone ") + QString::number(beside.size()));
        QVERIFY(QDir().mkpath(alone));
        QVERIFY(QFile::copy(m_prefix + QStringLiteral("/bin/lumoskop"), alone + QStringLiteral("/lumoskop")));
        for (const QString &module : beside)
            QVERIFY(QFile::copy(m_prefix + QStringLiteral("/" LUMOSKOP_INSTALL_LIBDIR "/lumoskop/") + module,
                                alone + QLatin1Char('/') + module));
        // An ExifTool beside it that takes a minute.
        const QString exiftool = alone + QStringLiteral("/exiftool");
        QVERIFY(Files::writeScript(exiftool, "sleep 60\n"));
        const QString photo = alone + QStringLiteral("/Bild.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        QProcess program;
        program.start(alone + QStringLiteral("/lumoskop"), {photo});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardError().contains(QFile::encodeName(missing) + " could not be loaded"));
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (pid.toLongLong() > 0 && cmdline.open(QIODevice::ReadOnly))
                QVERIFY2(!cmdline.readAll().contains(QFile::encodeName(exiftool)), "its ExifTool still runs");
        }
        QCOMPARE(QDir(alone).entryList(QDir::Files).size(), 3 + beside.size()); // nothing beside the photo
    }

    // With a runtime folder, the installed program starts the ExifTool keeper installed with it,
    // which is found from the program's own folder, not on PATH.
    void installedProgramStartsTheInstalledKeeper()
    {
        if (TestPhotos::exiftool().isEmpty())
            QSKIP("exiftool is not on PATH");
        const QString keeper = m_prefix + QStringLiteral("/" LUMOSKOP_INSTALL_LIBDIR "/lumoskop/lumoskop-keeper");
        QVERIFY2(QFileInfo(keeper).isExecutable(), qPrintable(m_installLog));
        QVERIFY(!QFileInfo::exists(m_prefix + QLatin1String("/bin/lumoskop-keeper")));
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const QString photo = m_tmp.filePath(QStringLiteral("keeper photo.jpg"));
        QVERIFY(TestPhotos::makeCameraPhoto(photo));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_tmp.filePath(QStringLiteral("keeper-config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_tmp.filePath(QStringLiteral("keeper-data")));
        // The keeper is detached from the program: it is told to end here once the program has
        // ended (a program still running would start another), and its socket goes with it.
        const QString socketPath = KeeperPlace::socketPath(runtime.filePath(QStringLiteral("lumoskop")));
        const auto listener = [&socketPath] {
            QLocalSocket socket;
            socket.connectToServer(socketPath);
            return socket.waitForConnected(5000) ? KeeperPlace::peerOf(socket.socketDescriptor()).pid : 0;
        };
        const auto endKeeper = qScopeGuard([&listener, &socketPath] {
            if (const qint64 pid = listener(); pid > 0 && ::kill(pid_t(pid), SIGTERM) == 0)
                QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(socketPath), 30000);
        });
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(m_prefix + QLatin1String("/bin/lumoskop"), {photo});
        QVERIFY2(program.waitForStarted(60000), qPrintable(program.errorString()));
        const auto stop = qScopeGuard([&program] { endProgram(program); });

        qint64 pid = 0;
        QTRY_VERIFY_WITH_TIMEOUT((pid = listener()) > 0, 60000);
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath(),
                 QFileInfo(keeper).canonicalFilePath());
    }

private:
    QTemporaryDir m_tmp;
    QString m_prefix;
    QString m_installLog;
};

QTEST_MAIN(tst_Install)
#include "tst_install.moc"
