// Where a dialog lands next to or over its owner, inside the owner's monitor work area, also
// with figures at the ends of the int range: sums such as "left edge + width" or "right edge +
// offset" used to overflow (undefined behaviour, and in practice a wrapped sum that threw the
// window to the opposite edge of the work area or far outside it).
#include "dialogs/modFormUtils.h"

#include <QTest>

#include <climits>

namespace
{

QRect fromEdges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

class TestPlaceForm : public QObject
{
    Q_OBJECT
private slots:
    void position_data();
    void position();
    void workAreaFallsBackToWholeScreen();
    void keepInsideAtTheLastCoordinate();
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

    // A huge offset pushes the window past the far edge, so it is pulled back to that edge,
    // not wrapped round to the near one.
    QTest::newRow("left, offset INT_MIN") << box << owner << "left" << INT_MIN << desk << QPoint(1520, 250);
    QTest::newRow("right, offset INT_MAX") << box << owner << "right" << INT_MAX << desk << QPoint(1520, 250);
    QTest::newRow("below, offset INT_MAX") << box << owner << "below" << INT_MAX << desk << QPoint(300, 740);
    QTest::newRow("above, offset INT_MIN") << box << owner << "above" << INT_MIN << desk << QPoint(300, 740);
    // A monitor whose work area ends at the last coordinate an int holds.
    QTest::newRow("right edge at INT_MAX") << box << fromEdges(INT_MAX - 999, 0, INT_MAX, 599) << "right" << 10
                                           << fromEdges(INT_MAX - 1999, 0, INT_MAX, 999) << QPoint(INT_MAX - 399, 150);
    // A window wider than a work area that starts at the first coordinate: right-aligned
    // would be left of INT_MIN, so it stops there.
    QTest::newRow("wider than an area at INT_MIN")
        << QSize(1000, 50) << fromEdges(INT_MIN, 0, INT_MIN + 99, 99) << "center" << 10
        << fromEdges(INT_MIN, 0, INT_MIN + 99, 99) << QPoint(INT_MIN, 25);
    // A reference spanning the whole int range: its width() is no int.
    QTest::newRow("reference wider than int")
        << box << fromEdges(INT_MIN, 0, INT_MAX, 599) << "CENTER" << 0 << desk << QPoint(0, 150);
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

void TestPlaceForm::keepInsideAtTheLastCoordinate()
{
    const QRect area = fromEdges(INT_MAX - 1999, INT_MAX - 999, INT_MAX, INT_MAX);
    QCOMPARE(keepInsideWorkArea(QPoint(INT_MAX, INT_MAX), QSize(400, 300), area), QPoint(INT_MAX - 399, INT_MAX - 299));
    QCOMPARE(keepInsideWorkArea(QPoint(INT_MIN, INT_MIN), QSize(400, 300), area),
             QPoint(INT_MAX - 1999, INT_MAX - 999));
}

QTEST_GUILESS_MAIN(TestPlaceForm)
#include "tst_placeform.moc"
