#include "Files.h"

#include "common/TestPhotos.h"
#include "exiftool/ExifToolCommand.h"
#include "pipeline/CharRepair.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/KeyTags.h"
#include "pipeline/ReportFile.h"
#include "exiftool/ReportPath.h"
#include "pipeline/ReportReader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ReportRows)

namespace
{

ReportRow row(const QString &name, const QString &value, bool header = false)
{
    ReportRow r;
    r.name = name;
    r.value = value;
    r.header = header;
    return r;
}

QString describe(const ReportRows &rows)
{
    QStringList out;
    for (const ReportRow &r : rows)
        out << QStringLiteral("[%1|%2|%3%4]").arg(r.name, r.value, r.header ? "H" : "", r.bold ? "B" : "");
    return out.join(QLatin1Char(' '));
}

} // namespace

class TestReportReader : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void decodeLine_data();
    void decodeLine();
    void groupHeaders_data();
    void groupHeaders();
    void testMakerNoteRawBytes();
    void loadRepairsAndBolds();
    void loadEqualsParseRepairBold();
    void loadResults();
    void loadDoesNotBlockOnFifo();
    void realExifTool_data();
    void realExifTool();
    void wholeRoadWithRealExifTool();
};

void TestReportReader::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReportRows>("expected");

    QTest::newRow("empty file") << QByteArray() << ReportRows();
    QTest::newRow("one empty line") << QByteArray("\n") << ReportRows{row("", "", true)};
    QTest::newRow("first line a header") << QByteArray("---- ExifTool ----\nExifTool Version Number         : 12.57\n")
                                         << ReportRows{row("", "---- ExifTool ----", true),
                                                       row("ExifTool Version Number         ", " 12.57")};
    QTest::newRow("header carries the name above")
        << QByteArray("Make                            : Canon\n---- IFD0 ----\n---- XMP-x ----\nISO : 200\n")
        << ReportRows{row("Make                            ", " Canon"),
                      row("Make                            ", "---- IFD0 ----", true),
                      row("Make                            ", "---- XMP-x ----", true), row("ISO ", " 200")};
    QTest::newRow("colons in the value") << QByteArray("Date/Time Original              : 2023:05:01 10:11:12\n")
                                         << ReportRows{row("Date/Time Original              ", " 2023:05:01 10:11:12")};
    QTest::newRow("name without padding")
        << QByteArray("Datum/Uhrzeit des letzten Dateizugriffs: 2026:12:08 17:04:59+00:00\n")
        << ReportRows{row("Datum/Uhrzeit des letzten Dateizugriffs", " 2026:12:08 17:04:59+00:00")};
    QTest::newRow("CR LF") << QByteArray("a : 1\r\n---- G ----\r\nb : 2\r\n")
                           << ReportRows{row("a ", " 1"), row("a ", "---- G ----", true), row("b ", " 2")};
    QTest::newRow("no final line end") << QByteArray("a : 1\nb : 2") << ReportRows{row("a ", " 1"), row("b ", " 2")};
    QTest::newRow("blank line inside") << QByteArray("a : 1\n\nb : 2\n")
                                       << ReportRows{row("a ", " 1"), row("a ", "", true), row("b ", " 2")};
    QTest::newRow("carriage return inside a line") << QByteArray("a : x\ry\n") << ReportRows{row("a ", " x\ry")};
    QTest::newRow("colon first") << QByteArray(":x\n") << ReportRows{row("", "x")};
    // A name keeps every blank and tab around it; only the rules that look names up trim.
    QTest::newRow("blanks and tabs around a name")
        << QByteArray(" Make\t : Canon\n\tISO:200\n") << ReportRows{row(" Make\t ", " Canon"), row("\tISO", "200")};
    QTest::newRow("UTF-8 line") << QByteArray("K\xc3\xbcnstler : J\xc3\xbcrgen M\xc3\xbcller\n")
                                << ReportRows{row(QString::fromUtf8("Künstler "), QString::fromUtf8(" Jürgen Müller"))};
    QTest::newRow("undecoded line beside a UTF-8 one")
        << QByteArray("Maker Note Unknown : \xa0\xe4\x80\nK\xc3\xbcnstler : X\n")
        << ReportRows{row("Maker Note Unknown ", QString::fromUtf8(" \u00a0ä€")),
                      row(QString::fromUtf8("Künstler "), " X")};
    QTest::newRow("same name bytes, line decoded either way")
        << QByteArray("M\xc3\xbcnze : a\nM\xc3\xbcnze : \xff\nM\xc3\xbcnze : b\n")
        << ReportRows{row(QString::fromUtf8("Münze "), " a"),
                      row(QStringLiteral("M\u00c3\u00bcnze "), QStringLiteral(" \u00ff")),
                      row(QString::fromUtf8("Münze "), " b")};
    QTest::newRow("no repair in parse") << QByteArray("a : &lt;\n") << ReportRows{row("a ", " &lt;")};
}

void TestReportReader::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ReportRows, expected);
    const ReportRows rows = ReportReader::parse(bytes);
    QCOMPARE(describe(rows), describe(expected));
}

void TestReportReader::decodeLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ASCII") << QByteArray("Make : Canon") << QStringLiteral("Make : Canon");
    QTest::newRow("UTF-8 three bytes") << QByteArray("\xe2\x82\xac") << QStringLiteral("\u20ac");
    QTest::newRow("UTF-8 four bytes") << QByteArray("\xf0\x9f\x93\xb7") << QString::fromUtf8("\xf0\x9f\x93\xb7");
    QTest::newRow("Windows-1252 high bytes") << QByteArray("\x80\x8a\x9f") << QStringLiteral("\u20ac\u0160\u0178");
    QTest::newRow("undefined Windows-1252 byte") << QByteArray("\x81\x8d") << QStringLiteral("\u0081\u008d");
    QTest::newRow("Latin-1 range") << QByteArray("\xe4\xf6\xfc") << QStringLiteral("\u00e4\u00f6\u00fc");
    QTest::newRow("overlong encoding is not UTF-8") << QByteArray("\xc0\xaf") << QStringLiteral("\u00c0\u00af");
    QTest::newRow("encoded surrogate is not UTF-8")
        << QByteArray("\xed\xa0\x80") << QStringLiteral("\u00ed\u00a0\u20ac");
    QTest::newRow("sequence cut at the line end") << QByteArray("ab\xc3") << QStringLiteral("ab\u00c3");
    QTest::newRow("NUL byte kept") << QByteArray("a\0b", 3)
                                   << QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b");
}

void TestReportReader::decodeLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(ReportReader::decodeLine(bytes.constData(), bytes.size()), expected);
}

// A group header is a line "---- Name ----" and nothing else: the rows below it carry its group
// until the next one, and a value that only looks like a header starts no group.
void TestReportReader::groupHeaders_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("group"); // empty: no header
    QTest::newRow("group") << "---- IFD0 ----"
                           << "IFD0";
    QTest::newRow("with a dash") << "---- XMP-x ----"
                                 << "XMP-x";
    QTest::newRow("shortest") << "---- A ----"
                              << "A";
    QTest::newRow("blanks inside the frames") << "----  GPS  ----"
                                              << "GPS";
    QTest::newRow("nothing between") << "----  ----"
                                     << "";
    QTest::newRow("frames touching") << "---- ----"
                                     << "";
    QTest::newRow("no closing frame") << "---- IFD0"
                                      << "";
    QTest::newRow("no opening frame") << "IFD0 ----"
                                      << "";
    QTest::newRow("three dashes") << "--- IFD0 ---"
                                  << "";
    QTest::newRow("a colon inside") << "---- a:b ----"
                                    << "";
    QTest::newRow("blank before") << " ---- IFD0 ----"
                                  << "";
}

void TestReportReader::groupHeaders()
{
    QFETCH(QString, line);
    QFETCH(QString, group);
    QCOMPARE(groupOfHeaderLine(line), group);
    // In a report: the header line's group reaches the rows below it, and no further.
    const ReportRows rows = ReportReader::parse("---- System ----\nA : 1\n" + line.toUtf8() +
                                                "\nB : 2\nC : ---- Other ----\n---- Composite ----\nD : 3\n");
    QCOMPARE(rows.size(), 7);
    QCOMPARE(rows.at(3).group(), group.isEmpty() ? QStringLiteral("System") : group);
    QCOMPARE(rows.at(4).group(), rows.at(3).group()); // a value is no header
    QCOMPARE(rows.at(6).group(), QStringLiteral("Composite"));
}

void TestReportReader::testMakerNoteRawBytes()
{
    // A whole report is not valid UTF-8 once one line carries raw bytes; the other lines must
    // still come out right, and the raw line must not turn into replacement characters.
    const QByteArray bytes = "---- MakerNotes ----\n"
                             "Ger\xc3\xa4tehersteller                : Canon\n"
                             "Unknown 0x0001                  : \x01\xff\xfe\xc3\n"
                             "Wei\xc3\x9f"
                             "abgleich                    : Auto\n";
    const ReportRows rows = ReportReader::parseAndFinish(bytes);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(1).name.trimmed(), QString::fromUtf8("Gerätehersteller"));
    QVERIFY(rows.at(1).bold);
    QCOMPARE(rows.at(2).value, QStringLiteral(" \u0001\u00ff\u00fe\u00c3"));
    QVERIFY(!rows.at(2).value.contains(QChar::ReplacementCharacter));
    QCOMPARE(rows.at(3).name.trimmed(), QString::fromUtf8("Weißabgleich"));
    QVERIFY(rows.at(3).bold);
}

void TestReportReader::loadRepairsAndBolds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bild.txt"));
    // Mis-encoded text stored inside the metadata, a reference, and a name that only becomes a
    // highlighted name after repair.
    QVERIFY(Files::write(path, "---- IFD0 ----\n"
                               "Ger\xc3\x83\xc2\xa4tehersteller                : Canon\n"
                               "---- ExifIFD ----\n"
                               "Copyright                       : &lt;2023&gt; \xc3\x82\xc2\xa9 Foto\n"
                               "Lens Info                       : 24-105mm\n"
                               "  Lens  : EF\n"));
    ReportRows rows;
    QCOMPARE(ReportReader::load(path, &rows), ReportReader::ReadResult::Ok);
    QCOMPARE(rows.size(), 6);
    QVERIFY(!rows.at(0).bold);
    QCOMPARE(rows.at(1).name, QString::fromUtf8("Gerätehersteller                "));
    QVERIFY(rows.at(1).bold);
    QVERIFY2(rows.at(2).bold && rows.at(2).header, "a header right after a bold tag is bold");
    QCOMPARE(rows.at(3).value, QString::fromUtf8(" <2023> © Foto"));
    QVERIFY(!rows.at(3).bold);
    QVERIFY(!rows.at(4).bold);
    QVERIFY(rows.at(5).bold);
}

void TestReportReader::loadEqualsParseRepairBold()
{
    // load() folds repair and bold marks into the reading pass; it must give exactly what the
    // separate passes give.
    const QByteArray bytes = "Make : X &amp; &lt;\n---- A ----\nK\xc3\x83\xc2\xbcnstler : \xc3\x83\xc2\xb6\n"
                             "\xc3\x83\xc2\x84nderungsdatum : 1\n---- B ----\n\n"
                             "Raw : \xc3\x83\xa4 \x80\nISO  : 1\nx&#8364; : \xe2\x82\xac\n";
    ReportRows separate = ReportReader::parse(bytes);
    CharRepair::SONDERZEICHEN(separate);
    KeyTags::markBold(separate);
    QCOMPARE(describe(ReportReader::parseAndFinish(bytes)), describe(separate));
}

void TestReportReader::loadResults()
{
    QTemporaryDir dir;
    ReportRows rows{row("stale", "stale")};
    QCOMPARE(ReportReader::load(dir.filePath(QStringLiteral("none.txt")), &rows), ReportReader::ReadResult::Missing);
    QVERIFY(rows.isEmpty());

    rows = ReportRows{row("stale", "stale")};
    QCOMPARE(ReportReader::load(dir.path(), &rows), ReportReader::ReadResult::Unreadable);
    QVERIFY(rows.isEmpty());

    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    QVERIFY(Files::write(empty, QByteArray()));
    QCOMPARE(ReportReader::load(empty, &rows), ReportReader::ReadResult::Ok);
    QVERIFY(rows.isEmpty());

    if (::geteuid() != 0) { // root reads anything
        const QString locked = dir.filePath(QStringLiteral("locked.txt"));
        QVERIFY(Files::write(locked, "a : b\n"));
        QFile::setPermissions(locked, QFileDevice::Permissions());
        QCOMPARE(ReportReader::load(locked, &rows), ReportReader::ReadResult::Unreadable);
    }
}

void TestReportReader::loadDoesNotBlockOnFifo()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("Bild.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ReportRows rows;
    QCOMPARE(ReportReader::load(fifo, &rows), ReportReader::ReadResult::Unreadable);
}

void TestReportReader::realExifTool_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("makeName");
    QTest::addColumn<QString>("artistName");
    QTest::newRow("German") << QStringLiteral("de") << QString::fromUtf8("Gerätehersteller")
                            << QString::fromUtf8("Künstler");
    QTest::newRow("English") << QStringLiteral("en") << QStringLiteral("Make") << QStringLiteral("Artist");
}

void TestReportReader::realExifTool()
{
    QFETCH(QString, lang);
    QFETCH(QString, makeName);
    QFETCH(QString, artistName);
    if (TestPhotos::exiftool().isEmpty())
        QSKIP("exiftool is not installed");
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("Bild.jpg"));
    QVERIFY(TestPhotos::makeCameraPhoto(photo));
    QVERIFY(TestPhotos::writeReport(photo, lang));
    QString reportPath;
    QVERIFY(ReportPath::forPhoto(photo, &reportPath));
    QCOMPARE(ReportFile::examine(reportPath, photo), ReportFile::Status::OwnReport);

    ReportRows rows;
    QCOMPARE(ReportReader::load(reportPath, &rows), ReportReader::ReadResult::Ok);

    // Every line of the file, as text, against every row.
    const QStringList lines = QString::fromUtf8(Files::read(reportPath)).split(QLatin1Char('\n'));
    QCOMPARE(lines.last(), QString());
    QCOMPARE(rows.size(), lines.size() - 1);
    QString carried;
    for (int i = 0; i < rows.size(); ++i) {
        const QString &line = lines.at(i);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0)
            carried = line.left(colon);
        QCOMPARE(rows.at(i).header, colon < 0);
        QCOMPARE(rows.at(i).name, carried);
        QCOMPARE(rows.at(i).value, colon < 0 ? line : line.mid(colon + 1));
        QCOMPARE(rows.at(i).bold, KeyTags::isHighlighted(carried));
    }
    QCOMPARE(rows.first().value, QStringLiteral("---- ExifTool ----"));

    auto find = [&rows](const QString &name) -> const ReportRow * {
        for (const ReportRow &r : rows) {
            if (!r.header && r.name.trimmed() == name)
                return &r;
        }
        return nullptr;
    };
    const ReportRow *make = find(makeName);
    QVERIFY(make);
    QCOMPARE(make->value, QStringLiteral(" Canon"));
    QVERIFY(make->bold);
    const ReportRow *artist = find(artistName);
    QVERIFY(artist);
    QCOMPARE(artist->value, QString::fromUtf8(" Jürgen Müller"));
    QVERIFY(!artist->bold);
}

void TestReportReader::wholeRoadWithRealExifTool()
{
    // Photo -> report path -> ExifTool process -> report -> rows, as the window drives it.
    const QString exiftool = ExifToolCommand::locate();
    if (exiftool.isEmpty())
        QSKIP("exiftool is not installed");
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("Foto mit Leerzeichen.jpeg"));
    QVERIFY(TestPhotos::makeCameraPhoto(photo));
    QString reportPath;
    QVERIFY(ReportPath::forPhoto(photo, &reportPath));
    QCOMPARE(reportPath, dir.filePath(QStringLiteral("Foto mit Leerzeichen.txt")));
    QCOMPARE(ReportFile::examine(reportPath, photo), ReportFile::Status::Missing);

    ExifToolService service;
    QSignalSpy finished(&service, &ExifToolService::finished);
    ExifToolJob job;
    job.arguments = ExifToolCommand::arguments("de", false, photo);
    service.request(job);
    QVERIFY(finished.wait(30000));
    const ExifToolOutcome outcome = finished.at(0).at(1).value<ExifToolOutcome>();
    QVERIFY(outcome.started);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(ReportFile::examine(reportPath, photo), ReportFile::Status::OwnReport);

    ReportRows rows;
    QCOMPARE(ReportReader::load(reportPath, &rows), ReportReader::ReadResult::Ok);
    int bold = 0;
    for (const ReportRow &r : rows)
        bold += r.bold ? 1 : 0;
    QVERIFY(bold >= 8); // maker, model, exposure, aperture, ISO, ...

    QVERIFY(ReportFile::removeReport(reportPath, photo));
    QVERIFY(!QFileInfo::exists(reportPath));
    QVERIFY(QFileInfo::exists(photo));
}

QTEST_GUILESS_MAIN(TestReportReader)
#include "tst_reportreader.moc"
