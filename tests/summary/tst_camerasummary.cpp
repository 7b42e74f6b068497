#include "common/TestPhotos.h"
#include "fixture_reportrows.h"
#include "exiftool/ProgramFolder.h"
#include "pipeline/ReportListModel.h"
#include "summary/CameraSummary.h"
#include "summary/DateiZeichen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

const QString programFolder = QStringLiteral("/opt/lumoskop");

// "Name|Value" is a tag line padded the way ExifTool pads it; anything else a header line.
ReportRows report(const QStringList &entries)
{
    QStringList lines;
    for (const QString &entry : entries) {
        const qsizetype bar = entry.indexOf(QLatin1Char('|'));
        lines << (bar < 0 ? entry : tagLine(entry.left(bar), entry.mid(bar + 1)));
    }
    return rowsFromLines(lines);
}

std::array<QString, 12> oldLabels()
{
    std::array<QString, 12> labels;
    for (int i = 0; i < 12; ++i)
        labels[i] = QStringLiteral("old %1").arg(i);
    return labels;
}

} // namespace

class TestCameraSummary : public QObject
{
    Q_OBJECT

private slots:
    void labelRules_data();
    void labelRules();
    void headerRowsAreNoTags_data();
    void headerRowsAreNoTags();
    void labelsNotMetKeepTheirText();
    void emptyListLeavesNoCamera();
    void picturePaths_data();
    void picturePaths();
    void dateiZeichen_data();
    void dateiZeichen();
    void findPictureLooksInProgramThenUserFolder();
    void realReport_data();
    void realReport();
    void sampleFillsThePanel();
    void tooltips_data();
    void tooltips();
    void groupsOfRows_data();
    void groupsOfRows();
    void sortedListNamesTheSameGroups();
};

void TestCameraSummary::labelRules_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("expected");

    QTest::newRow("de aperture F-Wert") << QStringList{"F-Wert|8.0"} << 0 << "f/8.0";
    QTest::newRow("de aperture Blende") << QStringList{"Blende|5.6"} << 0 << "f/5.6";
    QTest::newRow("en aperture value") << QStringList{"Aperture Value|4.0"} << 0 << "f/4.0";
    QTest::newRow("en later aperture wins") << QStringList{"F Number|8.0", "Aperture Value|7.1"} << 0 << "f/7.1";
    QTest::newRow("de exposure time") << QStringList{"Belichtungsdauer|1/250"} << 1 << "1/250 sec";
    QTest::newRow("en shutter speed") << QStringList{"Shutter Speed Value|1/60"} << 1 << "1/60 sec";
    QTest::newRow("de first focal length wins")
        << QStringList{"Brennweite|24.0 mm", "Brennweite|24.0 mm (35 mm equivalent: 36.0 mm)"} << 2 << "24.0 mm";
    QTest::newRow("en first focal length wins")
        << QStringList{"Focal Length|50.0 mm", "Focal Length|85.0 mm"} << 2 << "50.0 mm";
    QTest::newRow("de focal length with crop factor")
        << QStringList{"Brennweite|24.0 mm", "Brennweite in 35 mm-Kleinbildformat|36 mm", "Formatfaktor zu 35 mm|1.5"}
        << 2 << "24.0 mm x 1.5 = 36 mm KB";
    QTest::newRow("en focal length with crop factor")
        << QStringList{"Focal Length|24.0 mm", "Focal Length In 35mm Format|36 mm",
                       "Scale Factor To 35 mm Equivalent|1.5", "Focal Length|24.0 mm (35 mm equivalent: 36.0 mm)"}
        << 2 << "24.0 mm x 1.5 = 36 mm KB";
    QTest::newRow("scale factor before 35 mm value")
        << QStringList{"Focal Length|24.0 mm", "Scale Factor To 35 mm Equivalent|1.5",
                       "Focal Length In 35mm Format|36 mm"}
        << 2 << "24.0 mm x 1.5 =  KB";
    QTest::newRow("two scale factors append twice")
        << QStringList{"Brennweite|24.0 mm", "Brennweite in 35 mm-Kleinbildformat|36 mm", "Formatfaktor zu 35 mm|1.5",
                       "Formatfaktor zu 35 mm|1.5"}
        << 2 << "24.0 mm x 1.5 = 36 mm KB x 1.5 = 36 mm KB";
    QTest::newRow("last 35 mm value before the scale factor")
        << QStringList{"Focal Length|24 mm", "Focal Length In 35mm Format|35 mm", "Focal Length In 35mm Format|36 mm",
                       "Scale Factor To 35 mm|1.5"}
        << 2 << "24 mm x 1.5 = 36 mm KB";
    QTest::newRow("35 mm value alone writes no label")
        << QStringList{"Focal Length In 35mm Format|36 mm"} << 2 << "old 2";
    QTest::newRow("de iso") << QStringList{"ISO-Empfindlichkeit|200"} << 3 << "200";
    QTest::newRow("en iso, name with trailing blanks") << QStringList{"ISO      |400"} << 3 << "400";
    QTest::newRow("lower-case iso is unknown") << QStringList{"iso|400"} << 3 << "old 3";
    QTest::newRow("value blanks trimmed") << QStringList{"ISO|   800   "} << 3 << "800";
    QTest::newRow("de lens id") << QStringList{"Objektiv-ID|EF24-105mm f/4L IS USM"} << 4 << "EF24-105mm f/4L IS USM";
    QTest::newRow("en lens model is not the lens id") << QStringList{"Lens Model|EF50mm"} << 4 << "old 4";
    QTest::newRow("de camera") << QStringList{"Gerätehersteller|Canon", "Kameramodell|EOS 5D"} << 5 << "Canon EOS 5D";
    QTest::newRow("en camera") << QStringList{"Make|NIKON CORPORATION", "Camera Model Name|NIKON D850"} << 5
                               << "NIKON CORPORATION NIKON D850";
    QTest::newRow("maker without model") << QStringList{"Make|Canon"} << 5 << "";
    QTest::newRow("model without maker appends to the old label")
        << QStringList{"Camera Model Name|D850"} << 5 << "old 5 D850";
    QTest::newRow("model twice shows it twice")
        << QStringList{"Make|Canon", "Camera Model Name|EOS R", "Camera Model Name|EOS R"} << 5 << "Canon EOS R EOS R";
    QTest::newRow("last pair of two groups")
        << QStringList{"---- IFD0 ----",     "Make|Canon", "Camera Model Name|EOS 5D",
                       "---- XMP-tiff ----", "Make|Nikon", "Camera Model Name|D850"}
        << 5 << "Nikon D850";
    QTest::newRow("maker after the last model does not count")
        << QStringList{"Make|Canon", "Camera Model Name|EOS 5D", "Make|Nikon"} << 5 << "Canon EOS 5D";
    QTest::newRow("XMP-dc line removed from a maker value")
        << QStringList{"Make|Canon ---- XMP-dc ----", "Camera Model Name|EOS 5D"} << 5 << "Canon EOS 5D";
    QTest::newRow("XMP-xmp line removed from a model value")
        << QStringList{"Make|Canon", "Camera Model Name|EOS 5D ---- XMP-xmp ----"} << 5 << "Canon EOS 5D";
    QTest::newRow("other group line stays in a value")
        << QStringList{"Make|Canon", "Camera Model Name|EOS ---- IFD0 ----"} << 5 << "Canon EOS ---- IFD0 ----";
    QTest::newRow("de metering") << QStringList{"Belichtungsmessmethode|Multi-Segment"} << 6 << "Multi-Segment";
    QTest::newRow("en metering") << QStringList{"Metering Mode|Spot"} << 6 << "Spot";
    QTest::newRow("de compensation") << QStringList{"Belichtungskorrektur|-0.7"} << 7 << "-0.7 EV";
    QTest::newRow("en compensation") << QStringList{"Exposure Compensation|+1/3"} << 7 << "+1/3 EV";
    QTest::newRow("de program") << QStringList{"Belichtungsprogramm|Blendenpriorität"} << 8 << "Blendenpriorität";
    QTest::newRow("en program") << QStringList{"Exposure Program|Manual"} << 8 << "Manual";
    QTest::newRow("de exposure mode") << QStringList{"Belichtungsmodus|Automatisch"} << 9 << "Automatisch";
    QTest::newRow("en exposure mode") << QStringList{"Exposure Mode|Auto bracket"} << 9 << "Auto bracket";
    QTest::newRow("de white balance") << QStringList{"Weißabgleich|Automatisch"} << 10 << "Automatisch";
    QTest::newRow("en white balance") << QStringList{"White Balance|Daylight"} << 10 << "Daylight";
    QTest::newRow("de hyperfocal") << QStringList{"Hyperfokale Entfernung|3.59 m"} << 11 << "3.59 m";
    QTest::newRow("en hyperfocal") << QStringList{"Hyperfocal Distance|3.59 m"} << 11 << "3.59 m";
}

void TestCameraSummary::labelRules()
{
    QFETCH(QStringList, entries);
    QFETCH(int, label);
    QFETCH(QString, expected);
    const CameraSummary result = summarizeCamera(report(entries), oldLabels(), programFolder);
    QCOMPARE(result.labels[label], expected);
}

// ExifTool's header rows carry the name of the tag line above them; the last tag of a
// group is often one the panel shows.
void TestCameraSummary::headerRowsAreNoTags_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("expected");

    QTest::newRow("white balance before XMP-photoshop")
        << QStringList{"White Balance|Auto", "---- XMP-photoshop ----", "City|Berlin"} << 10 << "Auto";
    QTest::newRow("maker before a header")
        << QStringList{"Make|Canon", "---- IFD0 ----", "Camera Model Name|EOS 5D"} << 5 << "Canon EOS 5D";
    QTest::newRow("de maker before a header")
        << QStringList{"Gerätehersteller|Canon", "---- ExifIFD ----", "Kameramodell|EOS 5D"} << 5 << "Canon EOS 5D";
    QTest::newRow("model before a header of another group")
        << QStringList{"Make|Nikon", "Camera Model Name|D850", "---- XMP-exif ----"} << 5 << "Nikon D850";
    QTest::newRow("model before XMP-xmp")
        << QStringList{"Make|Nikon", "Camera Model Name|D850", "---- XMP-xmp ----"} << 5 << "Nikon D850";
    QTest::newRow("scale factor before a header appends once")
        << QStringList{"Focal Length|24.0 mm", "Focal Length In 35mm Format|36 mm",
                       "Scale Factor To 35 mm Equivalent|1.5", "---- XMP-x ----"}
        << 2 << "24.0 mm x 1.5 = 36 mm KB";
    QTest::newRow("lens before a header")
        << QStringList{"Lens ID|EF50mm f/1.8", "---- XMP-x ----"} << 4 << "EF50mm f/1.8";
    QTest::newRow("35 mm value before a header")
        << QStringList{"Focal Length|24 mm", "Focal Length In 35mm Format|36 mm", "---- Composite ----",
                       "Scale Factor To 35 mm|1.5"}
        << 2 << "24 mm x 1.5 = 36 mm KB";
}

void TestCameraSummary::headerRowsAreNoTags()
{
    labelRules();
}

void TestCameraSummary::labelsNotMetKeepTheirText()
{
    // A French report: no name matches, the panel keeps what it showed, only the camera
    // label is always rewritten.
    const ReportRows rows = report({"---- IFD0 ----", "Fabricant|Canon", "Modèle d'appareil photo|EOS 5D",
                                    "---- ExifIFD ----", "Temps de pose|1/250"});
    const CameraSummary result = summarizeCamera(rows, oldLabels(), programFolder);
    std::array<QString, 12> expected = oldLabels();
    expected[5].clear();
    QCOMPARE(result.labels, expected);
    QCOMPARE(result.lensPicture, QString());
}

void TestCameraSummary::emptyListLeavesNoCamera()
{
    const CameraSummary result = summarizeCamera(ReportRows(), oldLabels(), programFolder);
    QCOMPARE(result.labels[5], QString());
    QCOMPARE(result.cameraPicture, programFolder + "/.jpg");
    QCOMPARE(result.lensPicture, QString());
    QCOMPARE(findPicture(result.lensPicture), QString());
}

void TestCameraSummary::picturePaths_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QString>("lens");

    QTest::newRow("maker and model, blanks and case kept")
        << QStringList{"Make|Canon", "Camera Model Name|EOS 5D Mark IV"} << "Canon EOS 5D Mark IV.jpg"
        << "";
    QTest::newRow("maker only") << QStringList{"Make|Canon"} << ".jpg"
                                << "";
    QTest::newRow("slash in the lens") << QStringList{"Objektiv-ID|24-105mm f/4"} << ".jpg"
                                       << "24-105mm f4.jpg";
    QTest::newRow("last lens row wins") << QStringList{"Lens ID|A 1:2", "Lens ID|B <x>"} << ".jpg"
                                        << "B x.jpg";
    QTest::newRow("forbidden characters in the camera")
        << QStringList{"Make|A/B", "Camera Model Name|C:D*?"} << "AB CD.jpg"
        << "";
    QTest::newRow("a camera cannot climb out of the folder")
        << QStringList{"Make|..", "Camera Model Name|../../etc/passwd"} << ".. ....etcpasswd.jpg"
        << "";
}

void TestCameraSummary::picturePaths()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, camera);
    QFETCH(QString, lens);
    const CameraSummary result = summarizeCamera(report(entries), std::array<QString, 12>(), programFolder);
    QCOMPARE(result.cameraPicture, programFolder + "/" + camera);
    QCOMPARE(result.lensPicture, lens.isEmpty() ? QString() : programFolder + "/" + lens);
}

void TestCameraSummary::dateiZeichen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("camera unchanged") << "EOS 5D Mark IV"
                                      << "EOS 5D Mark IV";
    QTest::newRow("mixed") << "A/B:C*D"
                           << "ABCD";
    QTest::newRow("only angle brackets") << "<><<>>"
                                         << "";
    QTest::newRow("all nine") << "a\\b/c|d:e*f?g\"h<i>j"
                              << "abcdefghij";
    QTest::newRow("others stay") << "Ümlaut; .,-_'()[] "
                                 << "Ümlaut; .,-_'()[] ";
}

void TestCameraSummary::dateiZeichen()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(DATEIZEICHEN(text), expected);
}

void TestCameraSummary::findPictureLooksInProgramThenUserFolder()
{
    QTemporaryDir program;
    QVERIFY(program.isValid());
    const QString user = ProgramFolder::userDataFolder();
    QVERIFY(QDir().mkpath(user));
    auto touch = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
    };
    const QString both = "Canon EOS R5.jpg", userOnly = "Nikon D850.jpg", none = "Sony A7.jpg";
    QVERIFY(touch(program.filePath(both)));
    QVERIFY(touch(user + "/" + both));
    QVERIFY(touch(user + "/" + userOnly));

    QCOMPARE(findPicture(program.filePath(both)), program.filePath(both));
    QCOMPARE(findPicture(program.filePath(userOnly)), user + "/" + userOnly);
    QCOMPARE(findPicture(program.filePath(none)), QString());
    QCOMPARE(findPicture(QString()), QString());
    // The empty camera gives "<folder>/.jpg"; a folder of that name is no picture.
    QVERIFY(QDir(program.path()).mkdir(".jpg"));
    QCOMPARE(findPicture(program.filePath(".jpg")), QString());

    QFile::remove(user + "/" + both);
    QFile::remove(user + "/" + userOnly);
}

void TestCameraSummary::realReport_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("expected"); // labels 0..11

    QTest::newRow("de") << "de"
                        << QStringList{"f/8.0",
                                       "1/250 sec",
                                       "24.0 mm x 1.5 = 36 mm KB",
                                       "200",
                                       "EF24-105mm f/4L IS USM",
                                       "Nikon D850",
                                       "Multi-Segment",
                                       "-0.7 EV",
                                       "Blendenpriorität",
                                       "Automatische Belichtung",
                                       "Manuell",
                                       "3.59 m"};
    QTest::newRow("en") << "en"
                        << QStringList{"f/8.0",
                                       "1/250 sec",
                                       "24.0 mm x 1.5 = 36 mm KB",
                                       "200",
                                       "EF24-105mm f/4L IS USM",
                                       "Nikon D850",
                                       "Multi-segment",
                                       "-0.7 EV",
                                       "Aperture-priority AE",
                                       "Auto",
                                       "Manual",
                                       "3.59 m"};
}

void TestCameraSummary::realReport()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, expected);
    if (TestPhotos::exiftool().isEmpty())
        QSKIP("exiftool is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString photo = dir.filePath("Bild.jpg");
    QVERIFY(TestPhotos::makeCameraPhoto(photo));
    // The XMP groups put a white balance right before "---- XMP-photoshop ----" and a second
    // camera right before "---- XMP-xmp ----": the last tag of a group is a panel tag.
    QVERIFY(TestPhotos::writeTags(photo,
                                  {"-ExposureProgram#=3", "-MeteringMode#=5", "-WhiteBalance#=0", "-ExposureMode#=0",
                                   "-XMP-exif:WhiteBalance=Manual", "-XMP-photoshop:City=Berlin",
                                   "-XMP-tiff:Make=Nikon", "-XMP-tiff:Model=D850", "-XMP-xmp:CreatorTool=Lumoskop"}));
    QVERIFY(TestPhotos::writeReport(photo, lang));
    const ReportRows rows = readReportFile(dir.filePath("Bild.txt"));
    QVERIFY(rows.size() > 40);

    const CameraSummary result = summarizeCamera(rows, std::array<QString, 12>(), dir.path());
    QStringList labels(result.labels.begin(), result.labels.end());
    QCOMPARE(labels, expected);
    QCOMPARE(result.cameraPicture, dir.filePath("Nikon D850.jpg"));
    QCOMPARE(result.lensPicture, dir.filePath("EF24-105mm f4L IS USM.jpg"));
}

void TestCameraSummary::sampleFillsThePanel()
{
    // The project's own sample photo must show the whole panel.
    if (TestPhotos::exiftool().isEmpty())
        QSKIP("exiftool is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString photo = dir.filePath("lumoskop-sample.jpg");
    QVERIFY(QFile::copy(QStringLiteral(LUMOSKOP_SOURCE_DIR "/samples/lumoskop-sample.jpg"), photo));
    QVERIFY(TestPhotos::writeReport(photo, "en"));
    const CameraSummary result =
        summarizeCamera(readReportFile(dir.filePath("lumoskop-sample.txt")), std::array<QString, 12>(), dir.path());
    const QStringList labels(result.labels.begin(), result.labels.end());
    QCOMPARE(labels, (QStringList{"f/8.0", "1/500 sec", "35.0 mm x 1.5 = 53 mm KB", "160", "XF16-55mm F2.8 R LM WR",
                                  "FUJIFILM X-T4", "Multi-segment", "-0.33 EV", "Aperture-priority AE", "Auto", "Auto",
                                  "7.72 m"}));
}

void TestCameraSummary::tooltips_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("expected");

    const QString ifd0 = "---- IFD0 ----", exif = "---- ExifIFD ----", comp = "---- Composite ----";
    QTest::newRow("last writer, agreeing row not told")
        << QStringList{exif, "F Number|8.0", comp, "Aperture Value|8.0"} << 0 << "Composite: Aperture Value";
    QTest::newRow("not met") << QStringList{ifd0, "Make|Canon"} << 3 << "";
    QTest::newRow("maker alone") << QStringList{ifd0, "Make|Canon"} << 5 << "";
    QTest::newRow("focal length parts")
        << QStringList{exif,
                       "Focal Length|24.0 mm",
                       "Focal Length In 35mm Format|36 mm",
                       comp,
                       "Scale Factor To 35 mm Equivalent|1.5",
                       "Focal Length|24.0 mm (35 mm equivalent: 36.0 mm)"}
        << 2
        << "ExifIFD: Focal Length\nComposite: Scale Factor To 35 mm Equivalent\nExifIFD: Focal Length In 35mm Format";
    QTest::newRow("factor before any 35 mm row, twice")
        << QStringList{exif, "Focal Length|24 mm", comp, "Scale Factor To 35 mm|1.5", "Scale Factor To 35 mm|1.5"} << 2
        << "ExifIFD: Focal Length\nComposite: Scale Factor To 35 mm";
    QTest::newRow("two lenses") << QStringList{"---- XMP-aux ----", "Lens ID|EF24-105mm f/4L", comp,
                                               "Lens ID|EF24-105mm f/4L IS USM"}
                                << 4 << "Composite: Lens ID\nAlso: XMP-aux: Lens ID = EF24-105mm f/4L";
    QTest::newRow("two cameras") << QStringList{ifd0,
                                                "Make|Canon",
                                                "Camera Model Name|EOS 5D",
                                                "---- XMP-tiff ----",
                                                "Make|Nikon",
                                                "Camera Model Name|D850"}
                                 << 5
                                 << "XMP-tiff: Make\nXMP-tiff: Camera Model Name\nAlso: IFD0: Make = Canon\nAlso: "
                                    "IFD0: Camera Model Name = EOS 5D";
    QTest::newRow("maker after the last model")
        << QStringList{ifd0, "Make|Canon", "Camera Model Name|EOS 5D", "---- XMP-tiff ----", "Make|Nikon"} << 5
        << "IFD0: Make\nIFD0: Camera Model Name\nAlso: XMP-tiff: Make = Nikon";
    QTest::newRow("header rows are no source")
        << QStringList{ifd0, "Make|Canon", "Camera Model Name|EOS 5D", "---- XMP-xmp ----", "---- XMP-tiff ----"} << 5
        << "IFD0: Make\nIFD0: Camera Model Name";
}

void TestCameraSummary::tooltips()
{
    QFETCH(QStringList, entries);
    QFETCH(int, label);
    QFETCH(QString, expected);
    QCOMPARE(summarizeCamera(report(entries), oldLabels(), programFolder).tooltips[label], expected);
}

void TestCameraSummary::groupsOfRows_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("rows above the first header")
        << QStringList{"A: 1", "---- IFD0 ----", "B: 2", "---- File ----"} << QStringList{"", "IFD0", "IFD0", "File"};
    QTest::newRow("other colon-less lines open no group")
        << QStringList{"---- IFD0 ----", "stray text", "---- ----"} << QStringList{"IFD0", "IFD0", "IFD0"};
}

void TestCameraSummary::groupsOfRows()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QStringList groups;
    for (const ReportRow &row : rowsFromLines(lines))
        groups << row.group();
    QCOMPARE(groups, expected);
}

void TestCameraSummary::sortedListNamesTheSameGroups()
{
    // One source per label, the maker sorting before the model: descending order cannot change
    // which row wrote a label, only where the headers stand.
    ReportListModel model;
    model.setRows(report({"---- IFD0 ----", "Make|Canon", "Camera Model Name|EOS 5D", "---- ExifIFD ----", "ISO|200",
                          "White Balance|Auto", "---- Composite ----", "Lens ID|EF50mm", "---- XMP-exif ----",
                          "Metering Mode|Spot"}));
    const CameraSummary unsorted = summarizeCamera(model.rowsInSortedOrder(), oldLabels(), programFolder);
    model.setSorting(true);
    model.setSortOrder(Qt::DescendingOrder);
    const CameraSummary sorted = summarizeCamera(model.rowsInSortedOrder(), oldLabels(), programFolder);
    QCOMPARE(unsorted.tooltips[6], QStringLiteral("XMP-exif: Metering Mode"));
    QCOMPARE(sorted.labels, unsorted.labels);
    QCOMPARE(sorted.tooltips, unsorted.tooltips);
}

QTEST_GUILESS_MAIN(TestCameraSummary)
#include "tst_camerasummary.moc"
