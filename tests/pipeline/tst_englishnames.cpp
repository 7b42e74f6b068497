// A report in a language other than German and English is known by ExifTool's English
// listing of the same photo, matched line for line; a listing that does not line up is not used.
#include "pipeline/EnglishNames.h"
#include "pipeline/ReportReader.h"

#include <QtTest>

class TestEnglishNames : public QObject
{
    Q_OBJECT
private slots:
    void needed()
    {
        QVERIFY(!EnglishNames::needed("de"));
        QVERIFY(!EnglishNames::needed("en"));
        for (const char *code : {"ja", "zh", "fr", "ru"})
            QVERIFY2(EnglishNames::needed(code), code);
    }

    void matchedLineForLine_data()
    {
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<bool>("matches");
        const QByteArray english = "---- IFD0 ----\nMake     : Canon\nExposure Time : 1/250\n---- ExifIFD ----\n"
                                   "ISO : 200\n";
        QTest::newRow("lines up") << english << true;
        QTest::newRow("a line more") << english + "Flash : Off\n" << false;
        QTest::newRow("a line less") << english.left(english.lastIndexOf("ISO")) << false;
        QTest::newRow("header where the report has a tag")
            << QByteArray("---- IFD0 ----\nMake : Canon\n---- Time ----\n---- ExifIFD ----\nISO : 200\n") << false;
        QTest::newRow("another group")
            << QByteArray("---- IFD0 ----\nMake : Canon\nExposure Time : 1/250\n---- XMP-exif ----\nISO : 200\n")
            << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void matchedLineForLine()
    {
        QFETCH(QByteArray, listing);
        QFETCH(bool, matches);
        // As ExifTool words it in Japanese: the groups stay, the descriptions do not.
        ReportRows rows = ReportReader::parse(QString::fromUtf8("---- IFD0 ----\nメーカー : Canon\n露出時間 : 1/250\n"
                                                                "---- ExifIFD ----\nISO : 200\n")
                                                  .toUtf8());
        rows[0].bold = true; // a mark that the English names do not give
        const QStringList names = EnglishNames::fromListing(rows, listing);
        if (!matches) {
            QVERIFY(names.isEmpty());
            EnglishNames::markBold(rows, names);
            QVERIFY(rows[0].bold); // nothing to go by: the marks stay as they were
            return;
        }
        QCOMPARE(names, (QStringList{"", "Make     ", "Exposure Time ", "Exposure Time ", "ISO "}));
        EnglishNames::markBold(rows, names);
        QCOMPARE((QList<bool>{rows[0].bold, rows[1].bold, rows[2].bold, rows[3].bold, rows[4].bold}),
                 (QList<bool>{false, true, true, true, true}));
    }
};

QTEST_GUILESS_MAIN(TestEnglishNames)
#include "tst_englishnames.moc"
