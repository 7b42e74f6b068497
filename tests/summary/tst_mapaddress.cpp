#include "pipeline/GeoPosition.h"
#include "summary/MapAddress.h"

#include <QtTest>

// ExifTool's numeric listing of a photo's position -> the map address, or nothing. Whatever
// the metadata holds, only two numbers in range ever reach the address.
class TestMapAddress : public QObject
{
    Q_OBJECT
private slots:
    void addressFromListing_data()
    {
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<QString>("address"); // empty: nothing opens
        const auto osm = [](const char *lat, const char *lon) {
            return QStringLiteral("https://www.openstreetmap.org/?mlat=%1&mlon=%2#map=16/%1/%2")
                .arg(QLatin1String(lat), QLatin1String(lon));
        };
        QTest::newRow("composite is signed") << QByteArray("[GPS] GPSLatitude : 33.8688\n"
                                                           "[Composite] GPSLatitude : -33.8688\n"
                                                           "[GPS] GPSLongitude : 151.2093\n"
                                                           "[Composite] GPSLongitude : 151.2093\n"
                                                           "[GPS] GPSLatitudeRef : S\n")
                                             << osm("-33.8688000", "151.2093000");
        QTest::newRow("reference gives the sign") << QByteArray("[GPS] GPSLatitude : 12.5\n[GPS] GPSLatitudeRef : S\n"
                                                                "[GPS] GPSLongitude : 70.25\n[GPS] GPSLongitudeRef : W\n")
                                                  << osm("-12.5000000", "-70.2500000");
        QTest::newRow("XMP carries its own sign") << QByteArray("[XMP-exif] GPSLatitude : -1.25\n"
                                                                "[XMP-exif] GPSLongitude : -2.5\n")
                                                  << osm("-1.2500000", "-2.5000000");
        QTest::newRow("a hair south of the equator") << QByteArray("[Composite] GPSLatitude : -0.00000001\n"
                                                                   "[Composite] GPSLongitude : 0\n")
                                                     << osm("0.0000000", "0.0000000");
        QTest::newRow("edges of the map") << QByteArray("[Composite] GPSLatitude : 90\n"
                                                        "[Composite] GPSLongitude : -180\n")
                                          << osm("90.0000000", "-180.0000000");
        QTest::newRow("no position") << QByteArray() << QString();
        QTest::newRow("latitude only") << QByteArray("[Composite] GPSLatitude : 48.1\n") << QString();
        for (const char *bad : {"91", "-90.0001", "nan", "inf", "-inf", "1e999", "48.1; rm -rf ~", "48,1", "0x30",
                                "48.1#map=0/0/0", "", "N 48 deg 8' 14\""}) {
            QTest::addRow("latitude %s", bad) << (QByteArray("[Composite] GPSLatitude : ") + bad +
                                                 "\n[Composite] GPSLongitude : 11.5\n")
                                              << QString();
        }
        QTest::newRow("longitude 180.5") << QByteArray("[Composite] GPSLatitude : 1\n[Composite] GPSLongitude : 180.5\n")
                                         << QString();
        QTest::newRow("lines of another shape") << QByteArray("GPSLatitude : 1\n[Composite GPSLongitude : 2\n") << QString();
    }
    void addressFromListing()
    {
        QFETCH(QByteArray, listing);
        QFETCH(QString, address);
        const std::optional<GeoPosition> position = positionFromListing(listing);
        QCOMPARE(position.has_value(), !address.isEmpty());
        if (position)
            QCOMPARE(mapAddress(*position), QUrl(address));
    }

    void positionsNoMapHasGiveNoAddress()
    {
        QVERIFY(!mapAddress({91, 0}).isValid());
        QVERIFY(!mapAddress({0, std::numeric_limits<double>::quiet_NaN()}).isValid());
        QVERIFY(!mapAddress({0, std::numeric_limits<double>::infinity()}).isValid());
    }
};

QTEST_GUILESS_MAIN(TestMapAddress)
#include "tst_mapaddress.moc"
