// Browsing a folder of camera photos with Page Down, the kept ExifTool warm: the time from the
// key press to the list and the camera panel filled, and to the thumbnail shown, and how much
// resident memory grows over the folder. Prints figures only; it asserts nothing about time.
//
//   build/bench_browse [photos, default 20]
//
// The photos are drawn 6000x4000 JPEGs (24 megapixels) with the tags the camera panel uses and
// an embedded EXIF thumbnail, as cameras write them. The window runs on the offscreen platform
// with settings of its own.

#include "Median.h"
#include "app/CameraPanel.h"
#include "start/SettingsStore.h"
#include "app/frmExifTool.h"
#include "controls/Fonts.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoBrowser.h"
#include "pipeline/ReportListModel.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int Width = 6000;
constexpr int Height = 4000;

QImage drawPhoto(int i)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0, QColor::fromHsv(200 + i * 7 % 40, 160, 170));
    sky.setColorAt(1, QColor(230, 210, 170));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(240, 200, 60));
    painter.drawEllipse(600 + i * 200, 500, 1400, 1400);
    painter.setBrush(QColor(40, 110, 50));
    painter.drawRect(0, 2800, Width, 1200);
    painter.end();
    return image;
}

// The photos, their EXIF thumbnails (160x120, as cameras embed them) and their tags.
QStringList makePhotos(const QString &folder, int count)
{
    const QString thumbs = folder + QStringLiteral("/.thumbs");
    QDir().mkpath(thumbs);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("IMG_%1").arg(1001 + i);
        const QImage image = drawPhoto(i);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".jpg");
        if (!image.save(path, "JPEG", 90) ||
            !image.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 .save(thumbs + QLatin1Char('/') + name + QStringLiteral(".jpg"), "JPEG", 85))
            return {};
        paths << path;
    }
    QProcess tagger;
    tagger.start(
        QStandardPaths::findExecutable(QStringLiteral("exiftool")),
        QStringList{QStringLiteral("-q"), QStringLiteral("-overwrite_original"), QStringLiteral("-Make=Canon"),
                    QStringLiteral("-Model=Canon EOS 5D Mark IV"), QStringLiteral("-LensModel=EF24-105mm f/4L IS USM"),
                    QStringLiteral("-FocalLength=24"), QStringLiteral("-FocalLengthIn35mmFormat=36"),
                    QStringLiteral("-ExposureTime=1/250"), QStringLiteral("-FNumber=8"), QStringLiteral("-ISO=200"),
                    QStringLiteral("-ExposureCompensation=-0.7"), QStringLiteral("-ExposureProgram#=3"),
                    QStringLiteral("-MeteringMode#=5"), QStringLiteral("-WhiteBalance#=0"),
                    QStringLiteral("-ExposureMode#=0"), QStringLiteral("-Orientation#=1"),
                    QStringLiteral("-DateTimeOriginal=2023:05:01 10:11:12"), QStringLiteral("-Artist=Jürgen Müller"),
                    QStringLiteral("-ThumbnailImage<=%1/%f.jpg").arg(thumbs)} +
            paths);
    if (!tagger.waitForFinished(300000) || tagger.exitCode() != 0)
        return {};
    return paths;
}

double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumoskop"));
    installDesignLook();
    const int count = argc > 1 ? std::max(2, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    if (QStandardPaths::findExecutable(QStringLiteral("exiftool")).isEmpty()) {
        std::printf("exiftool is not installed; nothing to measure\n");
        return 0;
    }
    QTemporaryDir dir;
    QElapsedTimer making;
    making.start();
    const QStringList photos = makePhotos(dir.path(), count);
    if (photos.isEmpty()) {
        std::printf("could not make the photos in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("%d photos of %dx%d with an EXIF thumbnail, made in %.1f s\n", count, Width, Height,
                making.elapsed() / 1000.0);

    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("Lumoskop.conf")), QSettings::IniFormat);
    SettingsStore store(settings);
    ExifToolService exiftool;
    PhotoBrowser browser(exiftool);
    frmExifTool window(store, browser);
    auto *thumbnail = window.findChild<QLabel *>(QStringLiteral("imgFoto"));
    bool shown = false;
    // After the window's own receiver: the list and the panel are filled by then.
    QObject::connect(&browser, &PhotoBrowser::shown, &app, [&shown] { shown = true; });
    // Waits for the list and then for a new picture in the photo box; false after a minute.
    auto waitForPhoto = [&](qint64 oldPicture, QElapsedTimer *clock, double *listMs, double *thumbMs) {
        QElapsedTimer limit;
        limit.start();
        while (!shown && limit.elapsed() < 60000)
            app.processEvents(QEventLoop::WaitForMoreEvents);
        if (listMs)
            *listMs = clock->nsecsElapsed() / 1e6;
        while (thumbnail->pixmap().cacheKey() == oldPicture && limit.elapsed() < 60000)
            app.processEvents(QEventLoop::WaitForMoreEvents);
        if (thumbMs)
            *thumbMs = clock->nsecsElapsed() / 1e6;
        return shown && thumbnail->pixmap().cacheKey() != oldPicture;
    };

    QElapsedTimer clock;
    clock.start();
    browser.readCommandLine(photos.first());
    window.Form_Load();
    if (!waitForPhoto(thumbnail->pixmap().cacheKey(), &clock, nullptr, nullptr)) {
        std::printf("the first photo was not shown\n");
        return 1;
    }
    // Page Down reaches the window's shortcut only while the window is active.
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        std::printf("the window did not become active\n");
    // Whatever the program does ahead of the user gets the time a user takes to look.
    QTest::qWait(500);
    const double firstMB = residentMB();

    std::vector<double> listTimes, thumbTimes;
    std::printf("%6s %8s %13s %7s\n", "photo", "list ms", "thumbnail ms", "RSS MB");
    for (int i = 1; i < count; ++i) {
        shown = false;
        const qint64 before = thumbnail->pixmap().cacheKey();
        clock.restart();
        QTest::keyClick(&window, Qt::Key_PageDown);
        double listMs = 0, thumbMs = 0;
        if (!waitForPhoto(before, &clock, &listMs, &thumbMs) || browser.photo() != photos.at(i)) {
            std::printf("photo %d was not shown\n", i + 1);
            return 1;
        }
        if (window.findChild<QTreeView *>(QStringLiteral("lvwExifTool"))->model()->rowCount() == 0 ||
            window.findChild<QLabel *>(QStringLiteral("lblExif5"))->text().isEmpty()) {
            std::printf("photo %d: list or panel empty\n", i + 1);
            return 1;
        }
        listTimes.push_back(listMs);
        thumbTimes.push_back(thumbMs);
        std::printf("%6d %8.1f %13.1f %7.1f\n", i + 1, listMs, thumbMs, residentMB());
        QTest::qWait(300);
    }
    const double lastMB = residentMB();
    window.close();
    const int n = int(listTimes.size());
    std::printf("browse: list and panel %.1f ms, thumbnail %.1f ms (median over %d photos), memory growth %.1f MB "
                "over %d photos\n",
                median(listTimes), median(thumbTimes), n, lastMB - firstMB, n);
    return 0;
}
