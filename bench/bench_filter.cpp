// Filtering the list: how long a filter text takes on a 100,000-row report, against the
// target of 50 ms. Prints figures; asserts nothing.
#include "pipeline/ReportListModel.h"
#include "pipeline/ReportReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
QByteArray report(int lines)
{
    static const char *const sample[] = {
        "---- ExifTool ----",
        "ExifTool Version Number         : 12.57",
        "---- IFD0 ----",
        "Make                            : Canon",
        "Camera Model Name               : Canon EOS 5D Mark IV",
        "Orientation                     : Horizontal (normal)",
        "---- ExifIFD ----",
        "Exposure Time                   : 1/250",
        "F Number                        : 8.0",
        "ISO                             : 200",
        "Date/Time Original              : 2023:05:01 10:11:12",
        "Focal Length                    : 24.0 mm",
        "Lens Model                      : EF24-105mm f/4L IS USM",
        "---- XMP-dc ----",
        "Creator                         : J\xc3\xbcrgen M\xc3\xbcller",
    };
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += QByteArray(sample[i % int(std::size(sample))]) + "\n";
    return bytes;
}

double timeFilter(ReportListModel &model, const QString &text)
{
    model.setFilter(QString());
    QElapsedTimer clock;
    clock.start();
    model.setFilter(text);
    return clock.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int lines = 100000;
    ReportListModel model;
    model.setRows(ReportReader::parse(report(lines)));
    std::printf("%d rows\n%-24s %10s %10s %8s\n", lines, "filter", "median ms", "worst ms", "shown");
    for (const QString &text : {QStringLiteral("iso"), QStringLiteral("canon"), QStringLiteral("müller"),
                                QStringLiteral("no such text at all"), QStringLiteral("e")}) {
        for (bool sorted : {false, true}) {
            model.setSorting(sorted);
            std::vector<double> ms;
            for (int round = 0; round < 7; ++round)
                ms.push_back(timeFilter(model, text));
            std::sort(ms.begin(), ms.end());
            std::printf("%-24s %10.1f %10.1f %8d%s\n", qPrintable(text + (sorted ? " (sorted)" : "")), ms[ms.size() / 2],
                        ms.back(), model.rowCount(), "");
        }
    }
    std::printf("target: under 50 ms\n");
    return 0;
}
