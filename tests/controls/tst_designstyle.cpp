#include "controls/DesignStyle.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QtTest>

// The design style hands out a few of Fusion's standard icons unread, so that building the main
// window reads no image: the icons must still look exactly like Fusion's once they are drawn.
class TestDesignStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    // First: any image read before it would load the plugins it looks for.
    void buildingTheWindowsControlsLoadsNoImagePlugin();
    void iconsDrawAsFusionsOwn_data();
    void iconsDrawAsFusionsOwn();

private:
    std::unique_ptr<QStyle> m_fusion;
};

void TestDesignStyle::initTestCase()
{
    QApplication::setStyle(new DesignStyle);
    m_fusion.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    QVERIFY(m_fusion);
}

void TestDesignStyle::buildingTheWindowsControlsLoadsNoImagePlugin()
{
    QWidget window;
    auto *menus = new QMenuBar(&window);
    menus->addMenu(QStringLiteral("Photo"));
    auto *filter = new QLineEdit(&window);
    filter->setClearButtonEnabled(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        QSKIP("this system does not list what a process has loaded");
    QVERIFY2(!maps.readAll().contains("/imageformats/"), "an image-format plugin was loaded");
}

void TestDesignStyle::iconsDrawAsFusionsOwn_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("mode");
    QTest::newRow("clear button, 100 %") << int(QStyle::SP_LineEditClearButton) << 1.0 << int(QIcon::Normal);
    QTest::newRow("clear button, 200 %") << int(QStyle::SP_LineEditClearButton) << 2.0 << int(QIcon::Normal);
    QTest::newRow("clear button, disabled") << int(QStyle::SP_LineEditClearButton) << 1.0 << int(QIcon::Disabled);
    QTest::newRow("menu bar extension, 200 %")
        << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 2.0 << int(QIcon::Normal);
}

void TestDesignStyle::iconsDrawAsFusionsOwn()
{
    QFETCH(int, which);
    QFETCH(qreal, ratio);
    QFETCH(int, mode);
    const auto standard = QStyle::StandardPixmap(which);
    const QIcon ours = QApplication::style()->standardIcon(standard);
    const QIcon fusions = m_fusion->standardIcon(standard);

    // Painted as a button paints it, on a screen of that ratio.
    auto painted = [&](const QIcon &icon) {
        QImage canvas(QSize(24, 24) * ratio, QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(ratio);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        icon.paint(&painter, QRect(4, 4, 16, 16), Qt::AlignCenter, QIcon::Mode(mode));
        return canvas;
    };
    QCOMPARE(painted(ours), painted(fusions));
}

QTEST_MAIN(TestDesignStyle)
#include "tst_designstyle.moc"
