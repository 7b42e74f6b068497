#include "fixture_reportrows.h"
#include "summary/ClipboardText.h"
#include "pipeline/ReportListModel.h"
#include "summary/GroupNavigation.h"
#include "summary/MakerAddress.h"

#include <QtTest>

#include <algorithm>

namespace
{

// A short report in ExifTool's shape: it opens with its own group's header, so the first
// row carries no name.
QStringList sampleLines()
{
    return {
        "---- ExifTool ----",
        tagLine("ExifTool Version Number", "12.57"),
        "---- IFD0 ----",
        tagLine("Make", "Canon"),
        tagLine("Camera Model Name", "EOS 5D"),
        "---- ExifIFD ----",
        tagLine("Exposure Time", "1/250"),
        tagLine("Date/Time Original", "2023:05:01 10:11:12"),
        "---- XMP-x ----",
        tagLine("XMP Toolkit", "Image::ExifTool 12.57"),
        "---- Composite ----",
        tagLine("Aperture", "8.0"),
    };
}

} // namespace

class TestRowActions : public QObject
{
    Q_OBJECT

private slots:
    void groupTargets_data();
    void groupTargets();
    void groupTargetInSortedList();
    void clipboard_data();
    void clipboard();
    void makerAddress_data();
    void makerAddress();
};

void TestRowActions::groupTargets_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("stores");

    const QStringList lines = sampleLines();
    QTest::newRow("All") << lines << 0 << 0 << true;
    QTest::newRow("IFD0") << lines << 1 << 2 << true;
    QTest::newRow("Exif") << lines << 2 << 5 << true;
    QTest::newRow("Xmp") << lines << 3 << 8 << true;
    QTest::newRow("Iptc missing") << lines << 4 << -1 << false;
    QTest::newRow("Composite") << lines << 5 << 10 << true;
    QTest::newRow("All on an empty list") << QStringList() << 0 << -1 << true;
    QTest::newRow("group on an empty list") << QStringList() << 2 << -1 << false;
    QTest::newRow("duplicated header goes to the first")
        << QStringList{tagLine("A", "1"), "---- IPTC ----", tagLine("B", "2"), "---- IPTC ----"} << 4 << 1 << true;
    QTest::newRow("a tag whose value looks like a header")
        << QStringList{tagLine("Comment", "---- IFD0 ----"), "---- IFD0 ----"} << 1 << 1 << true;
    QTest::newRow("header text case counts") << QStringList{"---- ifd0 ----"} << 1 << -1 << false;
    QTest::newRow("XMP-x is not XMP-xmp") << QStringList{"---- XMP-xmp ----", "---- XMP-x ----"} << 3 << 1 << true;
    QTest::newRow("index past the buttons") << lines << 6 << -1 << false;
}

void TestRowActions::groupTargets()
{
    QFETCH(QStringList, lines);
    QFETCH(int, index);
    QFETCH(int, row);
    QFETCH(bool, stores);
    const int target = GroupNavigation::targetRow(rowsFromLines(lines), index);
    QCOMPARE(target, row);
    QCOMPARE(GroupNavigation::storesIndex(index, target), stores);
}

void TestRowActions::groupTargetInSortedList()
{
    // Sorted by name, the header rows move with the names they carry.
    ReportListModel model;
    model.setRows(rowsFromLines(sampleLines()));
    model.setSorting(true);
    const ReportRows rows = model.rowsInListOrder();
    for (int index = 1; index < GroupNavigation::buttonCount; ++index) {
        const int target = GroupNavigation::targetRow(rows, index);
        if (index == 4) {
            QCOMPARE(target, -1);
            continue;
        }
        QVERIFY(target >= 0);
        QCOMPARE(rows.at(target).value, GroupNavigation::headerText(index));
        QVERIFY(rows.at(target).header);
    }
    // "---- IFD0 ----" carries "ExifTool Version Number" and sorts right after that tag, in
    // eighth place, not where the report had it.
    QCOMPARE(GroupNavigation::targetRow(rows, 1), 7);
    QCOMPARE(rows.at(6).name.trimmed(), QStringLiteral("ExifTool Version Number"));
}

void TestRowActions::clipboard_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("expected");

    const QStringList lines{tagLine("Make", "Canon"), "---- ExifIFD ----", tagLine("Exposure Time", "1/250"),
                            tagLine("Date/Time Original", "2023:05:01 10:11:12")};
    const QString make = "Make                            \t Canon\r\n";
    const QString header = "Make                            \t---- ExifIFD ----\r\n";
    const QString time = "Exposure Time                   \t 1/250\r\n";
    const QString date = "Date/Time Original              \t 2023:05:01 10:11:12\r\n";

    QTest::newRow("all rows, nothing trimmed") << lines << true << QList<int>() << make + header + time + date;
    QTest::newRow("empty list") << QStringList() << true << QList<int>() << "";
    QTest::newRow("selected in list order") << lines << false << QList<int>{3, 0} << make + date;
    QTest::newRow("none selected") << lines << false << QList<int>() << "";
    QTest::newRow("header row with its carried name") << lines << false << QList<int>{1} << header;
    QTest::newRow("one row ends in CR LF") << lines << false << QList<int>{2} << time;
    QTest::newRow("a row selected twice is copied once") << lines << false << QList<int>{2, 2} << time;
    QTest::newRow("rows outside the list ignored") << lines << false << QList<int>{-1, 4, 99, 0} << make;
    QTest::newRow("first line a header without name")
        << QStringList{"---- ExifTool ----"} << true << QList<int>() << "\t---- ExifTool ----\r\n";
}

void TestRowActions::clipboard()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, all);
    QFETCH(QList<int>, selected);
    QFETCH(QString, expected);
    const ReportRows rows = rowsFromLines(lines);
    QCOMPARE(all ? clipboardText(rows) : clipboardText(rows, selected), expected);
}

void TestRowActions::makerAddress_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("address"); // empty: nothing may be opened

    QTest::newRow("maker and model") << "Canon EOS 5D Mark IV"
                                     << "https://www.canon.de";
    QTest::newRow("upper-case maker") << "NIKON CORPORATION NIKON D850"
                                      << "https://www.nikon.de";
    QTest::newRow("Fuji") << "Fuji X-T4"
                          << "https://www.fujifilm.de";
    QTest::newRow("FUJI stays") << "FUJI X-T4"
                                << "https://www.fuji.de";
    QTest::newRow("FUJIFILM") << "FUJIFILM X100V"
                              << "https://www.fujifilm.de";
    QTest::newRow("digits and inner hyphen") << "Sony-2 A7"
                                             << "https://www.sony-2.de";
    QTest::newRow("63 characters") << QString(63, 'a') + " X"
                                   << "https://www." + QString(63, 'a') + ".de";
    QTest::newRow("one word") << "Canon"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("leading blank") << " Canon EOS"
                                   << "";
    QTest::newRow("slash") << "evil.example/phish X"
                           << "";
    QTest::newRow("colon") << "javascript:alert(1) X"
                           << "";
    QTest::newRow("at sign") << "user@evil X"
                             << "";
    QTest::newRow("dot") << "evil.example X"
                         << "";
    QTest::newRow("tab before the blank") << "Canon\tEOS 5D"
                                          << "";
    QTest::newRow("non-ASCII") << "Zeiß Ikon"
                               << "";
    QTest::newRow("leading hyphen") << "-canon X"
                                    << "";
    QTest::newRow("64 characters") << QString(64, 'a') + " X"
                                   << "";
    QTest::newRow("header line from an old pass") << "---- IFD0 ---- EOS"
                                                  << "";
}

void TestRowActions::makerAddress()
{
    QFETCH(QString, label);
    QFETCH(QString, address);
    const QUrl url = ::makerAddress(label);
    if (address.isEmpty()) {
        QVERIFY2(!url.isValid(), qPrintable(url.toString()));
        return;
    }
    QVERIFY(url.isValid());
    QCOMPARE(url.toString(), address);
    QCOMPARE(url.scheme(), QStringLiteral("https"));
    QCOMPARE(url.path(), QString());
}

QTEST_GUILESS_MAIN(TestRowActions)
#include "tst_rowactions.moc"
