#include "about/Border3D.h"
#include "about/frmInfo.h"
#include "controls/Twips.h"
#include "dialogs/SignalSound.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

// The music the window asks for while the sound service only records requests.
static bool isBluesRequest(const QString &request)
{
    return request.endsWith(QStringLiteral("/Blues.wav"));
}

class TestFrmInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void stripStartsBelowTheViewport();
    void artworkIsBuiltIn();
    void cycleRestartsAfterTheStripHasLeft();
    void clickOnStripPausesAndResumes();
    void clicksElsewhereDoNothing();
    void pictureClosesOnReleaseNotOnPress();
    void escapeClosesFromEitherPictureBox_data();
    void escapeClosesFromEitherPictureBox();
    void otherKeysDoNothing_data();
    void otherKeysDoNothing();
    void musicPlaysOnOpenAndStopsOnClose();
    void showInfoIsModalOverTheMainWindow();
};

void TestFrmInfo::initTestCase()
{
    SignalSound::setRecording(true);
}

void TestFrmInfo::init()
{
    SignalSound::clearRecorded();
}

void TestFrmInfo::stripStartsBelowTheViewport()
{
    frmInfo info{QString()};
    QCOMPARE(info.creditLines()[5], QString());
    QCOMPARE(info.size(), QSize(453, 171));
    QVERIFY(info.isScrolling());
    QCOMPARE(info.stripTop(), info.Picture1()->height());
    QCOMPARE(info.Picture2()->parentWidget(), info.Picture1());
    QVERIFY(info.stripHeight() >= 20 * 10); // twenty lines of a readable font
    QVERIFY(!info.Picture2()->pixmap().isNull());
}

void TestFrmInfo::artworkIsBuiltIn()
{
    frmInfo info{QString()};
    // The picture and its hand cursor come from the program's own resources; a lost file
    // would leave a transparent hole and the arrow.
    const QImage picture = info.BildTamu()->pixmap().toImage();
    QCOMPARE(picture.size() / picture.devicePixelRatio(), QSize(158, 99));
    QCOMPARE(picture.pixelColor(2, 2).alpha(), 255);
    QCOMPARE(info.BildTamu()->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(info.BildTamu()->cursor().pixmap().toImage().pixelColor(11, 3).alpha(), 255); // the fingertip
    QCOMPARE(info.BildTamu()->toolTip(), QStringLiteral(" Exit "));
    QCOMPARE(info.Picture2()->toolTip(), QStringLiteral(" Start/Stop "));
}

void TestFrmInfo::cycleRestartsAfterTheStripHasLeft()
{
    frmInfo info(QStringLiteral("L u m o s k o p"));
    const int start = info.stripTop();
    const int moves = start + info.stripHeight();
    SignalSound::clearRecorded();
    for (int i = 1; i <= moves; ++i) {
        info.Timer1_Timer();
        QCOMPARE(info.stripTop(), start - i);
    }
    QVERIFY(SignalSound::recorded().isEmpty());
    QVERIFY(info.isScrolling());

    // The tick after the last move starts the next cycle with the music from the top.
    info.Timer1_Timer();
    QCOMPARE(info.stripTop(), start);
    QVERIFY(info.isScrolling());
    QCOMPARE(SignalSound::recorded().size(), 1);
    QVERIFY(isBluesRequest(SignalSound::recorded().first()));
}

void TestFrmInfo::clickOnStripPausesAndResumes()
{
    frmInfo info{QString()};
    // Scroll the strip into view, as a user would see it.
    for (int i = 0; i < 60; ++i)
        info.Timer1_Timer();
    const int top = info.stripTop();

    QTest::mouseClick(info.Picture2(), Qt::LeftButton, {}, QPoint(20, 5));
    QVERIFY(!info.isScrolling());
    QCOMPARE(info.stripTop(), top);
    QTest::mouseClick(info.Picture2(), Qt::LeftButton, {}, QPoint(20, 5));
    QVERIFY(info.isScrolling());
    QCOMPARE(info.stripTop(), top);
    // Pausing leaves the music alone.
    QVERIFY(!SignalSound::recorded().contains(QStringLiteral("stop")));
}

void TestFrmInfo::clicksElsewhereDoNothing()
{
    frmInfo info{QString()};
    info.show();
    QTest::mouseClick(&info, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(&info, Qt::LeftButton, {}, QPoint(440, 160));
    QTest::mouseClick(info.Picture1(), Qt::LeftButton, {}, QPoint(100, 50)); // above the strip
    QTest::mouseClick(&info, Qt::RightButton, {}, QPoint(100, 150));
    QVERIFY(info.isVisible());
    QVERIFY(info.isScrolling());
}

void TestFrmInfo::pictureClosesOnReleaseNotOnPress()
{
    frmInfo info{QString()};
    info.show();
    const QPoint outerCorner = info.BildTamu()->geometry().topLeft() - QPoint(3, 3);
    QCOMPARE(info.grab().toImage().pixelColor(outerCorner), vbColour(BorderLight));

    QTest::mousePress(info.BildTamu(), Qt::LeftButton, {}, QPoint(50, 50));
    QVERIFY(info.isVisible());
    QVERIFY(info.isBildTamuPressed());
    QCOMPARE(info.grab().toImage().pixelColor(outerCorner), vbColour(BorderDark)); // sunken

    QTest::mouseRelease(info.BildTamu(), Qt::LeftButton, {}, QPoint(50, 50));
    QVERIFY(!info.isVisible());
    QVERIFY(!info.isBildTamuPressed());
    QVERIFY(!info.isScrolling());
    QVERIFY(SignalSound::recorded().contains(QStringLiteral("stop")));
}

void TestFrmInfo::escapeClosesFromEitherPictureBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("viewport") << QStringLiteral("Picture1");
    QTest::newRow("strip") << QStringLiteral("Picture2");
}

void TestFrmInfo::escapeClosesFromEitherPictureBox()
{
    QFETCH(QString, box);
    frmInfo info{QString()};
    info.show();
    QApplication::setActiveWindow(&info);
    QVERIFY(QTest::qWaitForWindowActive(&info));
    QWidget *target = info.findChild<QWidget *>(box);
    QVERIFY(target);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    // Delivered through the window, so the focus decides who gets it. The press alone
    // does not close; the release does.
    QTest::keyPress(info.windowHandle(), Qt::Key_Escape);
    QVERIFY(info.isVisible());
    QTest::keyRelease(info.windowHandle(), Qt::Key_Escape);
    QVERIFY(!info.isVisible());
    QCOMPARE(info.result(), int(QDialog::Rejected));
    QVERIFY(SignalSound::recorded().contains(QStringLiteral("stop")));
}

void TestFrmInfo::otherKeysDoNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    for (const char *box : {"Picture1", "Picture2"}) {
        QTest::addRow("%s Return", box) << QString::fromLatin1(box) << int(Qt::Key_Return);
        QTest::addRow("%s Space", box) << QString::fromLatin1(box) << int(Qt::Key_Space);
        QTest::addRow("%s Q", box) << QString::fromLatin1(box) << int(Qt::Key_Q);
        QTest::addRow("%s Backspace", box) << QString::fromLatin1(box) << int(Qt::Key_Backspace);
    }
}

void TestFrmInfo::otherKeysDoNothing()
{
    QFETCH(QString, box);
    QFETCH(int, key);
    frmInfo info{QString()};
    info.show();
    QApplication::setActiveWindow(&info);
    QVERIFY(QTest::qWaitForWindowActive(&info));
    info.findChild<QWidget *>(box)->setFocus();
    QTest::keyClick(info.windowHandle(), Qt::Key(key));
    QVERIFY(info.isVisible());
    QVERIFY(info.isScrolling());
}

void TestFrmInfo::musicPlaysOnOpenAndStopsOnClose()
{
    {
        frmInfo info{QString()};
        QCOMPARE(SignalSound::recorded().size(), 1);
        QVERIFY(isBluesRequest(SignalSound::recorded().first()));
        info.show();
        info.reject();
        QCOMPARE(SignalSound::recorded().last(), QStringLiteral("stop"));
    }
    // A window that goes without being closed stops its music too.
    SignalSound::clearRecorded();
    {
        frmInfo info{QString()};
    }
    QCOMPARE(SignalSound::recorded().size(), 2);
    QCOMPARE(SignalSound::recorded().last(), QStringLiteral("stop"));
}

void TestFrmInfo::showInfoIsModalOverTheMainWindow()
{
    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 800, 600);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    bool sawModal = false;
    QPoint offsetFromCentre;
    QTimer::singleShot(0, &mainWindow, [&] {
        auto *info = qobject_cast<frmInfo *>(QApplication::activeModalWidget());
        if (!info)
            return;
        sawModal = true;
        offsetFromCentre = info->frameGeometry().center() - mainWindow.frameGeometry().center();
        QTest::keyRelease(info->Picture1(), Qt::Key_Escape);
    });
    // Whatever happens above, a safety net ends the modal loop so the test cannot hang.
    QTimer::singleShot(10000, &mainWindow, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    ShowInfo(&mainWindow, QStringLiteral("L u m o s k o p"));
    QVERIFY(sawModal);
    QVERIFY2(qAbs(offsetFromCentre.x()) <= 1 && qAbs(offsetFromCentre.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(offsetFromCentre.x()).arg(offsetFromCentre.y())));
    QCOMPARE(SignalSound::recorded().last(), QStringLiteral("stop"));
}

QTEST_MAIN(TestFrmInfo)
#include "tst_frminfo.moc"
