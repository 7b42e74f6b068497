// The main window's stored outer rectangle: twips read and written back without creeping, and
// a rectangle from another screen (or a maximised one) brought wholly onto the screen it lands on.
#include "start/SettingsStore.h"
#include "app/WindowGeometry.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using Stored = QMap<QString, QString>;
Q_DECLARE_METATYPE(Stored)

class tst_WindowGeometry : public QObject
{
    Q_OBJECT
private slots:
    void readsTheFourKeys_data();
    void readsTheFourKeys();
    void writesBackWhatStillNamesThePixel_data();
    void writesBackWhatStillNamesThePixel();
    void fitsOntoTheScreenItLandsOn_data();
    void fitsOntoTheScreenItLandsOn();
};

void tst_WindowGeometry::readsTheFourKeys_data()
{
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<QRect>("outer");
    QTest::newRow("empty store: designed place and outer size") << Stored{} << QRect(6, 6, 728, 824);
    QTest::newRow("stored") << Stored{{"ExiftoolTop", "1500"},
                                      {"ExiftoolLeft", "3000"},
                                      {"ExiftoolHeight", "9000"},
                                      {"ExiftoolWidth", "12000"}}
                            << QRect(200, 100, 800, 600);
    QTest::newRow("edges that do not convert keep the window's own")
        << Stored{{"ExiftoolTop", "abc"}, {"ExiftoolLeft", "1e30"}} << QRect(40, 50, 728, 824);
    QTest::newRow("sizes below a pixel are the designed size")
        << Stored{{"ExiftoolHeight", "0"}, {"ExiftoolWidth", "-4500"}} << QRect(6, 6, 728, 824);
    QTest::newRow("an edge off the screen is read as it is")
        << Stored{{"ExiftoolLeft", "-30000"}} << QRect(-2000, 6, 728, 824);
}

void tst_WindowGeometry::readsTheFourKeys()
{
    QFETCH(Stored, stored);
    QFETCH(QRect, outer);
    QTemporaryDir dir;
    QSettings ini(dir.filePath("Lumoskop.conf"), QSettings::IniFormat);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        ini.setValue("Options/" + it.key(), it.value());
    SettingsStore store(ini);
    WindowGeometry g;
    g.read(store, QRect(40, 50, 300, 200));
    QCOMPARE(g.outer(), outer);
}

void tst_WindowGeometry::writesBackWhatStillNamesThePixel_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QRect>("outer");
    QTest::addColumn<QStringList>("written"); // top, left, height, width
    QTest::newRow("unchanged window keeps odd twips")
        << "110" << QRect(7, 7, 728, 824) << QStringList{"110", "110", "12360", "10920"};
    QTest::newRow("moved by a pixel") << "110" << QRect(8, 7, 728, 825) << QStringList{"110", "120", "12375", "10920"};
    QTest::newRow("nothing read") << "" << QRect(7, 7, 728, 824) << QStringList{"105", "105", "12360", "10920"};
}

void tst_WindowGeometry::writesBackWhatStillNamesThePixel()
{
    QFETCH(QString, read);
    QFETCH(QRect, outer);
    QFETCH(QStringList, written);
    QTemporaryDir dir;
    QSettings ini(dir.filePath("Lumoskop.conf"), QSettings::IniFormat);
    if (!read.isEmpty()) {
        ini.setValue("Options/ExiftoolTop", read);
        ini.setValue("Options/ExiftoolLeft", read);
    }
    SettingsStore store(ini);
    WindowGeometry g;
    g.read(store, QRect());
    g.write(store, outer);
    const QStringList keys{"ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth"};
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(ini.value("Options/" + keys[i]).toString(), written[i]);
}

void tst_WindowGeometry::fitsOntoTheScreenItLandsOn_data()
{
    QTest::addColumn<QRect>("outer");
    QTest::addColumn<QRect>("fitted");
    // Two screens side by side; the right one has a 30-pixel panel at its top.
    QTest::newRow("fits: unchanged") << QRect(100, 100, 728, 824) << QRect(100, 100, 728, 824);
    QTest::newRow("bottom below the screen: moved up") << QRect(100, 700, 728, 824) << QRect(100, 376, 728, 824);
    QTest::newRow("maximised on a larger screen: shrunk") << QRect(0, 0, 2560, 1440) << QRect(0, 0, 1600, 1200);
    QTest::newRow("mostly on the right screen: under its panel")
        << QRect(1500, 0, 800, 600) << QRect(1600, 30, 800, 600);
    QTest::newRow("on no screen: the nearest") << QRect(5000, 2000, 800, 600) << QRect(2624, 568, 800, 600);
    QTest::newRow("left of every screen") << QRect(-2000, 100, 728, 824) << QRect(0, 100, 728, 824);
}

void tst_WindowGeometry::fitsOntoTheScreenItLandsOn()
{
    QFETCH(QRect, outer);
    QFETCH(QRect, fitted);
    const QList<QRect> screens{QRect(0, 0, 1600, 1200), QRect(1600, 0, 1824, 1168)};
    const QList<QRect> available{QRect(0, 0, 1600, 1200), QRect(1600, 30, 1824, 1138)};
    QCOMPARE(WindowGeometry::fitOnScreens(outer, screens, available), fitted);
    QCOMPARE(WindowGeometry::fitOnScreens(outer, {}, {}), outer); // no screen known: left alone
}

QTEST_GUILESS_MAIN(tst_WindowGeometry)
#include "tst_windowgeometry.moc"
