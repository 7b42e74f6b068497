#include "controls/SvgPictures.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// The program's icons are drawn from SVG without the toolkit's SVG icon plugin: they must
// still be drawn at the screen's own resolution, and greyed out where a button is disabled.
class TestSvgPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconIsDrawnForTheScreen_data();
    void iconIsDrawnForTheScreen();

private:
    QTemporaryDir m_dir;
    QString m_svg;
};

void TestSvgPictures::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_svg = m_dir.filePath(QStringLiteral("red.svg"));
    QFile file(m_svg);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
               "<rect width='10' height='10' fill='#ff0000'/></svg>");
}

void TestSvgPictures::iconIsDrawnForTheScreen_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("mode");
    QTest::newRow("100 %") << 1.0 << int(QIcon::Normal);
    QTest::newRow("200 %") << 2.0 << int(QIcon::Normal);
    QTest::newRow("200 %, disabled") << 2.0 << int(QIcon::Disabled);
}

void TestSvgPictures::iconIsDrawnForTheScreen()
{
    QFETCH(qreal, ratio);
    QFETCH(int, mode);
    const QIcon icon = SvgPictures::icon(m_svg);
    const QImage drawn = icon.pixmap(QSize(16, 16), ratio, QIcon::Mode(mode)).toImage();
    // Drawn in device pixels, not a 16-pixel picture stretched by the screen.
    QCOMPARE(drawn.size(), QSize(16, 16) * ratio);
    const QColor middle = drawn.pixelColor(drawn.width() / 2, drawn.height() / 2);
    QCOMPARE(middle.alpha(), 255);
    if (QIcon::Mode(mode) == QIcon::Normal)
        QCOMPARE(middle, QColor(Qt::red));
    else
        QVERIFY2(middle.saturation() < 64, qPrintable(middle.name())); // greyed, as the style greys icons

    // Painted into a widget's picture the same way: sharp at the painter's ratio.
    QImage target(QSize(16, 16) * ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        icon.paint(&painter, QRect(0, 0, 16, 16), Qt::AlignCenter, QIcon::Mode(mode));
    }
    QCOMPARE(target.pixelColor(0, 0).alpha(), 255);
    QCOMPARE(target.pixelColor(target.width() - 1, target.height() - 1).alpha(), 255);
}

QTEST_MAIN(TestSvgPictures)
#include "tst_svgpictures.moc"
