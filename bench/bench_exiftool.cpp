// ExifTool's cost per photo: one process per photo against one ExifTool kept running, over the
// same 20 photos in the same run. Prints figures only; it asserts nothing about time.
//
//   build/bench_exiftool [rounds, default 5]

#include "Median.h"
#include "exiftool/ExifToolCommand.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoSession.h"
#include "exiftool/ReportPath.h"

#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int PhotoCount = 20;

struct Photo {
    QString path;
    QString report;
    QString lang;
};

// Drawn JPEGs of camera size, tagged by ExifTool in one call, so that each report is of the
// length a camera photo gives.
std::vector<Photo> makePhotos(const QString &folder, const QString &exiftool)
{
    std::vector<Photo> photos;
    QStringList paths;
    for (int i = 0; i < PhotoCount; ++i) {
        QImage image(1600, 1200, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 17 % 360, 120, 200));
        QPainter painter(&image);
        painter.setBrush(QColor(240, 200, 60));
        painter.drawEllipse(100 + i * 20, 100, 800, 600);
        painter.end();
        Photo photo;
        photo.path = QStringLiteral("%1/Foto %2.jpg").arg(folder).arg(i + 1, 2, 10, QLatin1Char('0'));
        photo.lang = i % 2 ? QStringLiteral("en") : QStringLiteral("de");
        if (!image.save(photo.path, "JPEG", 85) || !ReportPath::forPhoto(photo.path, &photo.report))
            return {};
        photos.push_back(photo);
        paths << photo.path;
    }
    QProcess tagger;
    tagger.start(exiftool,
                 QStringList{QStringLiteral("-q"), QStringLiteral("-overwrite_original"), QStringLiteral("-Make=Canon"),
                             QStringLiteral("-Model=Canon EOS 5D Mark IV"),
                             QStringLiteral("-LensModel=EF24-105mm f/4L IS USM"), QStringLiteral("-FocalLength=24"),
                             QStringLiteral("-ExposureTime=1/250"), QStringLiteral("-FNumber=8"),
                             QStringLiteral("-ISO=200"), QStringLiteral("-Artist=Jürgen Müller"),
                             QStringLiteral("-XMP-dc:Description=Urlaub am Meer")} +
                     paths);
    if (!tagger.waitForFinished(120000) || tagger.exitCode() != 0)
        return {};
    return photos;
}

// Runs one photo through the service and waits for its outcome in the benchmark's only event
// loop, as the program's own loop waits between request() and finished().
ExifToolOutcome runPhoto(ExifToolService &service, const Photo &photo)
{
    ExifToolJob job;
    job.arguments = ExifToolCommand::arguments(photo.lang, false, photo.path);
    QEventLoop loop;
    ExifToolOutcome outcome;
    int id = 0;
    const QMetaObject::Connection connection =
        QObject::connect(&service, &ExifToolService::finished, &loop, [&](int done, const ExifToolOutcome &result) {
            if (done != id)
                return;
            outcome = result;
            loop.quit();
        });
    id = service.request(job);
    loop.exec();
    QObject::disconnect(connection);
    return outcome;
}

// Milliseconds for all photos; failures counts runs whose report is missing.
double timeAll(ExifToolService &service, const std::vector<Photo> &photos, int &failures)
{
    for (const Photo &photo : photos)
        QFile::remove(photo.report);
    QElapsedTimer clock;
    clock.start();
    for (const Photo &photo : photos) {
        const ExifToolOutcome outcome = runPhoto(service, photo);
        if (!QFile::exists(photo.report)) {
            ++failures;
            std::printf("  %s\n", qPrintable(PhotoSession::describeFailure(outcome, photo.path, photo.report)));
        }
    }
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (exiftool.isEmpty()) {
        std::printf("exiftool is not installed; nothing to measure\n");
        return 0;
    }
    QTemporaryDir dir;
    const std::vector<Photo> photos = makePhotos(dir.path(), exiftool);
    if (photos.empty()) {
        std::printf("could not make the photos in %s\n", qPrintable(dir.path()));
        return 1;
    }

    std::vector<double> oneShotTimes, keptTimes, keptWarmTimes;
    int failures = 0;
    std::printf("ExifTool %s, %d photos of 1600x1200, languages de/en alternating, %d rounds\n", qPrintable(exiftool),
                PhotoCount, rounds);
    std::printf("%6s %16s %20s %22s\n", "round", "one-shot ms/photo", "kept ms/photo (+start)", "kept ms/photo (warm)");
    for (int round = 1; round <= rounds; ++round) {
        ExifToolService oneShot;
        oneShot.setProgram(exiftool);
        oneShot.setKeepRunning(false);
        const double oneShotMs = timeAll(oneShot, photos, failures);

        // The start of the kept process is part of the cost, spread over the photos...
        double keptMs = 0;
        {
            QElapsedTimer clock;
            clock.start();
            ExifToolService kept;
            kept.setProgram(exiftool);
            kept.warmUp();
            timeAll(kept, photos, failures);
            keptMs = clock.nsecsElapsed() / 1e6;
            // ...and once it is up, each photo costs only this.
            const double warmMs = timeAll(kept, photos, failures);
            keptWarmTimes.push_back(warmMs / PhotoCount);
        }
        oneShotTimes.push_back(oneShotMs / PhotoCount);
        keptTimes.push_back(keptMs / PhotoCount);
        std::printf("%6d %16.1f %20.1f %22.1f\n", round, oneShotTimes.back(), keptTimes.back(), keptWarmTimes.back());
    }

    const double oneShot = median(oneShotTimes);
    const double kept = median(keptTimes);
    const double warm = median(keptWarmTimes);
    std::printf("median  one-shot %.1f ms/photo, kept %.1f ms/photo with its start, %.1f ms/photo warm\n", oneShot,
                kept, warm);
    std::printf("ratio   kept/one-shot %.3f with its start, %.3f warm (target: at most 0.25)\n", kept / oneShot,
                warm / oneShot);
    if (failures)
        std::printf("WARNING %d runs wrote no report\n", failures);
    return 0;
}
