// Placement with figures at the ends of the int range. Sums such as "left edge + width" or
// "right edge + offset" used to overflow: undefined behaviour, and in practice a wrapped sum
// that threw the window to the opposite edge of the work area or far outside it.
#include "dialogs/modFormUtils.h"

#include <QtTest>

#include <climits>

namespace
{

QRect fromEdges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

class TestPlacementOverflow : public QObject
{
    Q_OBJECT

private slots:
    void testExtremeFiguresDoNotOverflow_data();
    void testExtremeFiguresDoNotOverflow();
    void testKeepInsideAtTheLastCoordinate();
};

void TestPlacementOverflow::testExtremeFiguresDoNotOverflow_data()
{
    QTest::addColumn<QSize>("moved");
    QTest::addColumn<QRect>("reference");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QPoint>("expected");

    const QRect screen(0, 0, 1920, 1040);
    const QRect owner(100, 100, 800, 600);
    // A huge offset pushes the window past the far edge, so it is pulled back to that edge,
    // not wrapped round to the near one.
    QTest::newRow("left, offset INT_MIN")
        << QSize(400, 300) << owner << QString("left") << INT_MIN << screen << QPoint(1520, 250);
    QTest::newRow("right, offset INT_MAX")
        << QSize(400, 300) << owner << QString("right") << INT_MAX << screen << QPoint(1520, 250);
    QTest::newRow("below, offset INT_MAX")
        << QSize(400, 300) << owner << QString("below") << INT_MAX << screen << QPoint(300, 740);
    QTest::newRow("above, offset INT_MIN")
        << QSize(400, 300) << owner << QString("above") << INT_MIN << screen << QPoint(300, 740);
    // A monitor whose work area ends at the last coordinate an int holds.
    const QRect farRight = fromEdges(INT_MAX - 1999, 0, INT_MAX, 999);
    QTest::newRow("right edge at INT_MAX") << QSize(400, 300) << fromEdges(INT_MAX - 999, 0, INT_MAX, 599)
                                           << QString("right") << 10 << farRight << QPoint(INT_MAX - 399, 150);
    // A window wider than a work area that starts at the first coordinate: right-aligned
    // would be left of INT_MIN, so it stops there.
    QTest::newRow("wider than an area at INT_MIN")
        << QSize(1000, 50) << fromEdges(INT_MIN, 0, INT_MIN + 99, 99) << QString("center") << 10
        << fromEdges(INT_MIN, 0, INT_MIN + 99, 99) << QPoint(INT_MIN, 25);
    // A reference spanning the whole int range: its width() is no int.
    QTest::newRow("reference wider than int")
        << QSize(400, 300) << fromEdges(INT_MIN, 0, INT_MAX, 599) << QString("CENTER") << 0 << screen << QPoint(0, 150);
}

void TestPlacementOverflow::testExtremeFiguresDoNotOverflow()
{
    QFETCH(QSize, moved);
    QFETCH(QRect, reference);
    QFETCH(QString, mode);
    QFETCH(int, offset);
    QFETCH(QRect, workArea);
    QFETCH(QPoint, expected);
    QCOMPARE(placeFormPosition(moved, reference, mode, offset, workArea), expected);
}

void TestPlacementOverflow::testKeepInsideAtTheLastCoordinate()
{
    const QRect area = fromEdges(INT_MAX - 1999, INT_MAX - 999, INT_MAX, INT_MAX);
    QCOMPARE(keepInsideWorkArea(QPoint(INT_MAX, INT_MAX), QSize(400, 300), area), QPoint(INT_MAX - 399, INT_MAX - 299));
    QCOMPARE(keepInsideWorkArea(QPoint(INT_MIN, INT_MIN), QSize(400, 300), area),
             QPoint(INT_MAX - 1999, INT_MAX - 999));
}

QTEST_GUILESS_MAIN(TestPlacementOverflow)
#include "tst_placementoverflow.moc"
