#include "about/Border3D.h"
#include "controls/Twips.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

// A control at (20, 35), 10 x 6 pixels: with a border of 3 the outermost ring starts at
// (17, 32) and is 16 x 12 pixels.
static const QRect Control(20, 35, 10, 6);

class TestBorder3D : public QObject
{
    Q_OBJECT

private slots:
    void raisedLinesOfThickness3();
    void noLinesBelowThicknessOne();
    void paintedPixels_data();
    void paintedPixels();
    void ringsOutsideTheDeviceAreClipped();
};

void TestBorder3D::raisedLinesOfThickness3()
{
    const QVector<BorderLine> lines = Border3D(Control, 3, false);
    // left 17, top 32, width 16, height 12: per ring i a top-left polyline in white, then per
    // ring a bottom-right polyline in grey, outermost first.
    const QVector<BorderLine> expected = {
        {BorderLight, {31, 32}, {17, 32}}, {BorderLight, {17, 32}, {17, 43}}, {BorderLight, {30, 33}, {18, 33}},
        {BorderLight, {18, 33}, {18, 42}}, {BorderLight, {29, 34}, {19, 34}}, {BorderLight, {19, 34}, {19, 41}},
        {BorderDark, {18, 43}, {32, 43}},  {BorderDark, {32, 43}, {32, 32}},  {BorderDark, {19, 42}, {31, 42}},
        {BorderDark, {31, 42}, {31, 33}},  {BorderDark, {20, 41}, {30, 41}},  {BorderDark, {30, 41}, {30, 34}},
    };
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(lines[i].colour, expected[i].colour);
        QCOMPARE(lines[i].from, expected[i].from);
        QCOMPARE(lines[i].to, expected[i].to);
    }
}

void TestBorder3D::noLinesBelowThicknessOne()
{
    QVERIFY(Border3D(Control, 0, false).isEmpty());
    QVERIFY(Border3D(Control, -2, true).isEmpty());
}

static QImage paint(const QVector<BorderLine> &lines, QSize size = QSize(50, 50))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    DrawBorderLines(painter, lines);
    return image;
}

void TestBorder3D::paintedPixels_data()
{
    QTest::addColumn<bool>("setIn");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");

    const QColor light = vbColour(BorderLight), dark = vbColour(BorderDark), back(Qt::blue);
    for (bool setIn : {false, true}) {
        const QColor first = setIn ? dark : light, second = setIn ? light : dark;
        const char *look = setIn ? "sunken" : "raised";
        QTest::addRow("%s outer top-left", look) << setIn << QPoint(17, 32) << first;
        QTest::addRow("%s inner top-left", look) << setIn << QPoint(19, 34) << first;
        QTest::addRow("%s outer bottom-right", look) << setIn << QPoint(32, 43) << second;
        QTest::addRow("%s inner right edge", look) << setIn << QPoint(30, 38) << second;
        // Where the two colours meet, the strokes leave the corner pixels alone.
        QTest::addRow("%s top-right corner", look) << setIn << QPoint(32, 32) << back;
        QTest::addRow("%s bottom-left corner", look) << setIn << QPoint(17, 43) << back;
        QTest::addRow("%s control untouched", look) << setIn << QPoint(20, 35) << back;
        QTest::addRow("%s outside untouched", look) << setIn << QPoint(16, 32) << back;
        QTest::addRow("%s below untouched", look) << setIn << QPoint(25, 44) << back;
    }
}

void TestBorder3D::paintedPixels()
{
    QFETCH(bool, setIn);
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    QCOMPARE(paint(Border3D(Control, 3, setIn)).pixelColor(pixel), colour);
}

void TestBorder3D::ringsOutsideTheDeviceAreClipped()
{
    // The window's outer frame: 8 pixels around a rectangle 5 pixels from the edge, so the
    // outer three rings lie outside the window.
    const QImage image = paint(Border3D(QRect(5, 5, 30, 30), 8, false), QSize(40, 40));
    QCOMPARE(image.pixelColor(0, 10), vbColour(BorderLight)); // ring 3, left edge
    QCOMPARE(image.pixelColor(39, 10), vbColour(BorderDark)); // ring 3, right edge
    QCOMPARE(image.pixelColor(4, 4), vbColour(BorderLight));  // innermost ring
}

QTEST_GUILESS_MAIN(TestBorder3D)
#include "tst_border3d.moc"
