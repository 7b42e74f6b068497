// Where a dialog lands next to or over its owner, inside the owner's monitor work area.
#include "dialogs/modFormUtils.h"

#include <QTest>

class TestPlaceForm : public QObject
{
    Q_OBJECT
private slots:
    void position_data();
    void position();
    void workAreaFallsBackToWholeScreen();
};

void TestPlaceForm::position_data()
{
    QTest::addColumn<QSize>("moved");
    QTest::addColumn<QRect>("reference");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QPoint>("expected");

    const QRect desk(0, 0, 1920, 1040), owner(100, 100, 800, 600), leftMonitor(-1680, 0, 1680, 1010);
    const QSize box(400, 300);
    QTest::newRow("center") << box << owner << "center" << 10 << desk << QPoint(300, 250);
    QTest::newRow("center ignores offset") << box << owner << "center" << 500 << desk << QPoint(300, 250);
    QTest::newRow("CENTER") << box << owner << "CENTER" << 10 << desk << QPoint(300, 250);
    QTest::newRow("unknown word centres") << box << owner << "middle" << 10 << desk << QPoint(300, 250);
    QTest::newRow("empty text centres") << box << owner << "" << 10 << desk << QPoint(300, 250);
    QTest::newRow("Right") << box << owner << "Right" << 10 << desk << QPoint(910, 250);
    QTest::newRow("left") << box << QRect(1000, 100, 800, 600) << "left" << 10 << desk << QPoint(590, 250);
    QTest::newRow("below") << box << owner << "below" << 10 << desk << QPoint(300, 710);
    QTest::newRow("above") << box << QRect(100, 500, 800, 400) << "above" << 10 << desk << QPoint(300, 190);
    // Pulled back inside, in the order left, top, right, bottom.
    QTest::newRow("right edge at 1900") << box << QRect(1100, 100, 800, 600) << "right" << 10 << desk
                                        << QPoint(1520, 250);
    QTest::newRow("off the left") << box << QRect(50, 100, 800, 600) << "left" << 10 << desk << QPoint(0, 250);
    QTest::newRow("off the top") << box << owner << "above" << 10 << QRect(0, 32, 1920, 1008) << QPoint(300, 32);
    QTest::newRow("off the bottom") << box << QRect(100, 600, 800, 400) << "below" << 10 << desk << QPoint(300, 740);
    QTest::newRow("2000 wide on 1920") << QSize(2000, 300) << owner << "center" << 10 << desk << QPoint(-80, 250);
    QTest::newRow("taller than the area") << QSize(400, 1100) << owner << "center" << 10 << desk << QPoint(300, -60);
    // A monitor left of the primary one: negative positions inside it stay.
    QTest::newRow("negative monitor") << box << QRect(-1500, 200, 800, 600) << "center" << 10 << leftMonitor
                                      << QPoint(-1300, 350);
    QTest::newRow("negative monitor, clamped")
        << box << QRect(-900, 200, 800, 600) << "right" << 10 << leftMonitor << QPoint(-400, 350);
    // Halving drops the fraction towards zero: 5 gives 2, -5 gives -2.
    QTest::newRow("half of 5") << box << QRect(100, 100, 405, 305) << "center" << 0 << desk << QPoint(102, 102);
    QTest::newRow("half of -5") << box << QRect(100, 100, 395, 295) << "center" << 0 << desk << QPoint(98, 98);
}

void TestPlaceForm::position()
{
    QFETCH(QSize, moved);
    QFETCH(QRect, reference);
    QFETCH(QString, mode);
    QFETCH(int, offset);
    QFETCH(QRect, workArea);
    QFETCH(QPoint, expected);
    QCOMPARE(placeFormPosition(moved, reference, mode, offset, workArea), expected);
}

void TestPlaceForm::workAreaFallsBackToWholeScreen()
{
    QCOMPARE(placeFormWorkArea(QRect(-1680, 0, 1680, 1010), QSize(1920, 1080)), QRect(-1680, 0, 1680, 1010));
    QCOMPARE(placeFormWorkArea(QRect(), QSize(1920, 1080)), QRect(0, 0, 1920, 1080));
}

QTEST_GUILESS_MAIN(TestPlaceForm)
#include "tst_placeform.moc"
