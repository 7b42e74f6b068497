// Time from program start to a filled list, against ExifTool's own time for the same report.
// The benchmark starts itself as the program: a child process that starts as main() does
// (ExifTool begins on the photo before the window is built), opens the main window on the
// offscreen platform with settings of its own, loads the photo and ends as soon as the list
// is filled. The child process is timed from its start to the filled list. Prints figures
// only; it asserts nothing about time.
//
//   build/bench_startup [rounds, default 5] [photo; default: a drawn 3000x2000 camera photo]

#include "Median.h"
#include "app/SettingsStore.h"
#include "app/frmExifTool.h"
#include "controls/Fonts.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoBrowser.h"
#include "pipeline/ReportPath.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

constexpr const char *ChildMode = "--child";

// The program's road for one photo, and out. Exit code 0 when the list was filled. Prints the
// row count and the milliseconds from main() to: the application, the window built, the list
// filled.
int child(int argc, char *argv[], const QString &photo)
{
    QElapsedTimer clock;
    clock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double appReady = clock.nsecsElapsed() / 1e6;
    QApplication::setApplicationName(QStringLiteral("Lumoskop"));
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
    // As main() does: ExifTool starts on the photo before the fonts are set up and the window
    // is built.
    SettingsStore store(settings);
    ExifToolService exiftool;
    PhotoBrowser browser(exiftool);
    browser.setLanguage(store.language());
    browser.readCommandLine(photo);
    installDesignLook();

    int rows = -1;
    double filled = 0;
    frmExifTool window(store, browser);
    const double built = clock.nsecsElapsed() / 1e6;
    // After the window's own receiver: the list is filled by then.
    QObject::connect(&browser, &PhotoBrowser::shown, &app, [&](const QString &, const ReportRows &shownRows) {
        filled = clock.nsecsElapsed() / 1e6;
        rows = int(shownRows.size());
        // The parent stops its clock here: what the user waits for ends with the filled list,
        // not with the program's own shutdown.
        std::printf("filled\n");
        std::fflush(stdout);
        app.quit();
    });
    // A run that never fills the list must not keep the benchmark waiting for ever.
    QTimer::singleShot(60000, &app, [&app] { app.exit(2); });
    window.Form_Load();
    // The list may already be filled inside Form_Load, before any event loop runs.
    if (rows < 0 && app.exec() == 2)
        return 2;
    std::printf("%d %.1f %.1f %.1f\n", rows, appReady, built, filled);
    return rows > 0 ? 0 : 3;
}

bool makePhoto(const QString &path)
{
    QImage image(3000, 2000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 2000);
    sky.setColorAt(0, QColor(40, 90, 160));
    sky.setColorAt(1, QColor(230, 210, 170));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(240, 200, 60));
    painter.drawEllipse(1800, 300, 500, 500);
    painter.end();
    if (!image.save(path, "JPEG", 90))
        return false;
    QProcess tagger;
    tagger.start(QStandardPaths::findExecutable(QStringLiteral("exiftool")),
                 {QStringLiteral("-q"), QStringLiteral("-overwrite_original"), QStringLiteral("-Make=Canon"),
                  QStringLiteral("-Model=Canon EOS 5D Mark IV"), QStringLiteral("-LensModel=EF24-105mm f/4L IS USM"),
                  QStringLiteral("-FocalLength=24"), QStringLiteral("-FocalLengthIn35mmFormat=36"),
                  QStringLiteral("-ExposureTime=1/250"), QStringLiteral("-FNumber=8"), QStringLiteral("-ISO=200"),
                  QStringLiteral("-ExposureCompensation=-0.7"), QStringLiteral("-ExposureProgram#=3"),
                  QStringLiteral("-MeteringMode#=5"), QStringLiteral("-WhiteBalance#=0"),
                  QStringLiteral("-Artist=Jürgen Müller"), path});
    return tagger.waitForFinished(60000) && tagger.exitCode() == 0;
}

// Milliseconds from the start of the process to its first line "filled" (or to its end when it
// prints none); negative when it failed.
double timeProcess(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    QByteArray seen;
    double filledMs = -1;
    while (filledMs < 0 && process.waitForReadyRead(120000)) {
        seen += process.readAllStandardOutput();
        if (seen.startsWith("filled\n"))
            filledMs = clock.nsecsElapsed() / 1e6;
    }
    if ((process.state() != QProcess::NotRunning && !process.waitForFinished(120000)) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s", process.readAllStandardError().constData());
        return -1;
    }
    const double ms = filledMs >= 0 ? filledMs : clock.nsecsElapsed() / 1e6;
    seen += process.readAllStandardOutput();
    if (seen.startsWith("filled\n"))
        seen.remove(0, 7);
    if (output)
        *output = seen.trimmed();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 2 && qstrcmp(argv[1], ChildMode) == 0)
        return child(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (exiftool.isEmpty()) {
        std::printf("exiftool is not installed; nothing to measure\n");
        return 0;
    }
    QTemporaryDir dir;
    QString photo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("Foto.jpg"));
    if (argc <= 2 && !makePhoto(photo)) {
        std::printf("could not make the photo %s\n", qPrintable(photo));
        return 1;
    }
    QString report;
    if (!ReportPath::forPhoto(photo, &report) || QFile::exists(report)) {
        std::printf("%s already has a report beside it (%s); the program would only show that\n", qPrintable(photo),
                    qPrintable(report));
        return 1;
    }

    const QString self = QCoreApplication::applicationFilePath();
    const QStringList exiftoolArguments{
        QStringLiteral("-lang"), QStringLiteral("en"),  QStringLiteral("-a"),  QStringLiteral("-u"),
        QStringLiteral("-g1"),   QStringLiteral("-w!"), QStringLiteral("txt"), photo};
    std::vector<double> programTimes, exiftoolTimes, appTimes, windowTimes, filledTimes;
    QByteArray childFigures;
    int rows = 0;
    std::printf("photo %s, %d rounds\n", qPrintable(photo), rounds);
    std::printf("%6s %11s %12s | program after main(): %12s %10s %12s\n", "round", "program ms", "exiftool ms",
                "application", "window", "list filled");
    for (int round = 1; round <= rounds; ++round) {
        QFile::remove(report);
        const double program = timeProcess(self, {QString::fromLatin1(ChildMode), photo}, &childFigures);
        QFile::remove(report);
        const double alone = timeProcess(exiftool, exiftoolArguments);
        QFile::remove(report);
        if (program < 0 || alone < 0) {
            std::printf("%6d failed (program %.0f, exiftool %.0f)\n", round, program, alone);
            continue;
        }
        const QList<QByteArray> figures = childFigures.split(' ');
        if (figures.size() == 4) {
            rows = figures[0].toInt();
            appTimes.push_back(figures[1].toDouble());
            windowTimes.push_back(figures[2].toDouble());
            filledTimes.push_back(figures[3].toDouble());
        }
        programTimes.push_back(program);
        exiftoolTimes.push_back(alone);
        std::printf("%6d %11.1f %12.1f | %34.1f %10.1f %12.1f\n", round, program, alone,
                    appTimes.empty() ? 0 : appTimes.back(), windowTimes.empty() ? 0 : windowTimes.back(),
                    filledTimes.empty() ? 0 : filledTimes.back());
    }
    if (programTimes.empty())
        return 1;
    const double program = median(programTimes);
    const double alone = median(exiftoolTimes);
    std::printf("list rows %d\n", rows);
    std::printf("median  program %.1f ms, exiftool alone %.1f ms; inside: application %.1f, window %.1f, list "
                "filled %.1f ms after main()\n",
                program, alone, median(appTimes), median(windowTimes), median(filledTimes));
    std::printf("ratio   program/exiftool %.3f: the program adds %.0f %% (target: at most 1.05)\n", program / alone,
                (program / alone - 1) * 100);
    return 0;
}
