// Report load against the floor of any load: reading the file and decoding it as UTF-8 in one
// piece. Prints figures only; it asserts nothing about time.
//
//   build/bench_report_load [folder for the generated reports]

#include "pipeline/ReportListModel.h"
#include "pipeline/ReportReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

QByteArray runExifTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("exiftool")), arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

// Lines of a real German report of a photo with camera tags, plus the kinds of line that cost
// the reader most: raw maker-note bytes (not UTF-8) and text stored mis-encoded in the metadata.
QList<QByteArray> sampleLines(const QString &folder)
{
    const QString photo = folder + QStringLiteral("/sample.jpg");
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    image.save(photo, "JPEG");
    runExifTool({QStringLiteral("-overwrite_original"), QStringLiteral("-q"), QStringLiteral("-Make=Canon"),
                 QStringLiteral("-Model=Canon EOS 5D Mark IV"), QStringLiteral("-LensModel=EF24-105mm f/4L IS USM"),
                 QStringLiteral("-FocalLength=24"), QStringLiteral("-ExposureTime=1/250"), QStringLiteral("-FNumber=8"),
                 QStringLiteral("-ISO=200"), QStringLiteral("-WhiteBalance=0"),
                 QStringLiteral("-DateTimeOriginal=2023:05:01 10:11:12"), QStringLiteral("-Artist=Jürgen Müller"),
                 QStringLiteral("-Copyright=© 2023 Jürgen Müller, Straße 5"), photo});
    const QByteArray report = runExifTool({QStringLiteral("-lang"), QStringLiteral("de"), QStringLiteral("-a"),
                                           QStringLiteral("-u"), QStringLiteral("-g1"), photo});
    QList<QByteArray> lines = report.split('\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    lines << QByteArray("Unbekannt 0x0001                : \x01\x9a\xff\xe4\x00\x10 (Rohdaten)", 48)
          << QByteArray("Benutzerkommentar               : Gr\xc3\x83\xc2\xbc\xc3\x83\xc2\x9f"
                        "e aus M\xc3\x83\xc2\xbcnchen &lt;2023&gt;");
    return lines;
}

QByteArray makeReport(const QList<QByteArray> &sample, int lineCount)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(lineCount) * 48);
    for (int i = 0; i < lineCount; ++i) {
        bytes += sample.at(i % sample.size());
        bytes += '\n';
    }
    return bytes;
}

double medianMs(int runs, const std::function<void()> &setup, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (QStandardPaths::findExecutable(QStringLiteral("exiftool")).isEmpty()) {
        std::printf("exiftool is not installed; no sample report can be made\n");
        return 1;
    }
    QTemporaryDir temporary;
    const QString folder = app.arguments().size() > 1 ? app.arguments().at(1) : temporary.path();
    const QList<QByteArray> sample = sampleLines(folder);
    std::printf("sample: %lld real ExifTool lines (German) + 1 raw maker-note line + 1 mis-encoded line\n\n",
                static_cast<long long>(sample.size() - 2));
    std::printf("%9s %8s | %10s %8s | %10s %8s | %6s | %s\n", "lines", "MB", "bare ms", "MB/s", "load ms", "MB/s",
                "ratio", "load = read / parse+repair+bold / model reset (ms)");

    for (const int lineCount : {1000, 100000, 1000000}) {
        const QString path = folder + QStringLiteral("/report-%1.txt").arg(lineCount);
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return 1;
            file.write(makeReport(sample, lineCount));
        }
        const double megabytes = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
        const int runs = lineCount >= 1000000 ? 5 : 11;

        qsizetype sink = 0;
        const double bare = medianMs(runs, nullptr, [&] {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QString text = QString::fromUtf8(file.readAll());
            sink += text.size();
        });

        ReportListModel model;
        const double load = medianMs(
            runs, [&] { model.clear(); },
            [&] {
                ReportRows rows;
                ReportReader::load(path, &rows);
                model.setRows(std::move(rows));
            });
        sink += model.rowCount();

        // Where the time goes, measured apart.
        QByteArray bytes;
        const double read = medianMs(runs, nullptr, [&] {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            bytes = file.readAll();
        });
        ReportRows parsed;
        const double parse = medianMs(
            runs, [&] { parsed.clear(); }, [&] { parsed = ReportReader::parseAndFinish(bytes); });
        ReportRows copy;
        const double reset = medianMs(
            runs,
            [&] {
                model.clear();
                copy = parsed;
                copy.detach();
            },
            [&] { model.setRows(std::move(copy)); });

        std::printf("%9d %8.2f | %10.2f %8.1f | %10.2f %8.1f | %6.2f | %.2f / %.2f / %.2f\n", lineCount, megabytes,
                    bare, megabytes / (bare / 1000.0), load, megabytes / (load / 1000.0), load / bare, read, parse,
                    reset);
        if (sink < 0)
            std::printf("(never)\n");
    }

    // Sorting is not part of the load; shown for a view that has "List sort" on.
    {
        const QString path = folder + QStringLiteral("/report-1000000.txt");
        ReportRows rows;
        ReportReader::load(path, &rows);
        ReportListModel model;
        model.setSorting(true);
        const double sorted = medianMs(3, nullptr, [&] {
            ReportRows copy = rows;
            model.setRows(std::move(copy));
        });
        std::printf("\nmodel reset with sorting on, 1,000,000 rows: %.1f ms\n", sorted);
    }
    return 0;
}
