// The message box as the user meets it: buttons, icons, sounds, Enter and access keys, sizing
// by the laid-out text, colours, the countdown, closing, a box opened inside another one's
// wait, placement over its owner and the uniform error report.
#include "fixture_boxes.h"

#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "controls/Twips.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmMsgTamu.h"
#include "dialogs/modMsgTamu.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {
QStringList shownCaptions(frmMsgTamu *box)
{
    QStringList captions;
    for (int i = 0; i < 7; ++i)
        if (!box->cmdButton(i)->isHidden())
            captions << box->cmdButton(i)->text();
    return captions;
}

QString lines(int count)
{
    QStringList l;
    for (int i = 1; i <= count; ++i)
        l << QStringLiteral("Zeile %1").arg(i);
    return l.join(QStringLiteral("\r\n"));
}
} // namespace

class TestMsgTamu : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { SignalSound::setRecording(true); }
    void init()
    {
        SignalSound::clearRecorded();
        resetMissedBoxes();
    }
    void cleanup() { QCOMPARE(missedBoxes(), 0); }

    void styleShowsButtonsIconAndSound_data();
    void styleShowsButtonsIconAndSound();
    void enterPressesTheDefaultButton_data();
    void enterPressesTheDefaultButton();
    void noDefaultButton_data();
    void noDefaultButton();
    void accessKeysPressButtons();
    void sizeFollowsLaidOutLines_data();
    void sizeFollowsLaidOutLines();
    void colours_data();
    void colours();
    void shortWaitsAreModalWithoutCountdown_data();
    void shortWaitsAreModalWithoutCountdown();
    void countdownClosesWithEmptyResult();
    void closedWithoutButtonAnswersEmpty_data();
    void closedWithoutButtonAnswersEmpty();
    void boxOpenedDuringCountdownLeavesItIntact();
    void placedCentredOverOwnerAndKeptOnScreen();
    void uniformErrorReport();
};

void TestMsgTamu::styleShowsButtonsIconAndSound_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("press");
    QTest::addColumn<QString>("answer");

    const QStringList ok{"&OK"};
    QTest::newRow("4 stop") << 4 << ok << 4 << "Stoppzeichen.wav" << 0 << "Ok";
    QTest::newRow("0 no icon, info sound") << 0 << ok << 0 << "Infozeichen.wav" << 0 << "Ok";
    QTest::newRow("1 information") << 1 << ok << 1 << "Infozeichen.wav" << 0 << "Ok";
    QTest::newRow("5 silent") << 5 << ok << 0 << "" << 0 << "Ok";
    QTest::newRow("9 silent") << 9 << ok << 0 << "" << 0 << "Ok";
    QTest::newRow("-3 silent") << -3 << ok << 0 << "" << 0 << "Ok";
    QTest::newRow("12 question") << 12 << QStringList{"&OK", "E&xit "} << 2 << "Fragezeichen.wav" << 3 << "Exit";
    QTest::newRow("23 exclamation") << 23 << QStringList{"&Ja", "&Nein"} << 3 << "Ausrufezeichen.wav" << 2
                                    << "Nein";
    QTest::newRow("32 copy question") << 32 << QStringList{"&Ja", "&Nein", "E&xit "} << 2 << "Fragezeichen.wav"
                                      << 3 << "Exit";
    QTest::newRow("41") << 41 << QStringList{"E&xit ", "&Wiederholen"} << 1 << "Infozeichen.wav" << 5
                        << "Wiederholen";
    QTest::newRow("54") << 54 << QStringList{"E&xit ", "&Ignorieren", "&Wiederholen"} << 4
                        << "Stoppzeichen.wav" << 4 << "Ignorieren";
    QTest::newRow("60") << 60 << QStringList{"&OK", "B&eenden "} << 0 << "Infozeichen.wav" << 6 << "Beenden";
    QTest::newRow("75") << 75 << QStringList{"&OK", "B&eenden "} << 0 << "" << 0 << "Ok";
}

void TestMsgTamu::styleShowsButtonsIconAndSound()
{
    QFETCH(int, style);
    QFETCH(QStringList, captions);
    QFETCH(int, icon);
    QFETCH(QString, sound);
    QFETCH(int, press);
    QFETCH(QString, answer);

    QStringList seenCaptions;
    int seenIcon = -1;
    onMsgBox("Styles", [&](frmMsgTamu *box) {
        seenCaptions = shownCaptions(box);
        seenIcon = box->shownIcon();
        box->cmdButton(press)->click();
    });
    QCOMPARE(MsgTamu("Text", style, 7, "Styles", 0), answer);
    QCOMPARE(seenCaptions, captions);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(SignalSound::recorded(), sound.isEmpty() ? QStringList() : QStringList{sound});
}

void TestMsgTamu::enterPressesTheDefaultButton_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QString>("answer");
    QTest::newRow("error report") << 4 << 0 << "Ok";
    QTest::newRow("copy question, Ja") << 32 << 1 << "Ja";
    QTest::newRow("copy question, Exit") << 32 << 3 << "Exit";
    QTest::newRow("Beenden") << 60 << 6 << "Beenden";
}

void TestMsgTamu::enterPressesTheDefaultButton()
{
    QFETCH(int, style);
    QFETCH(int, defaultButton);
    QFETCH(QString, answer);
    int isDefault = -1;
    QString focused;
    onMsgBox("Enter", [&](frmMsgTamu *box) {
        isDefault = box->defaultButtonIndex();
        focused = QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(MsgTamu("Text", style, defaultButton, "Enter", 0), answer);
    QCOMPARE(isDefault, defaultButton);
    QCOMPARE(focused, QStringLiteral("cmdButton%1").arg(defaultButton));
}

void TestMsgTamu::noDefaultButton_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("defaultButton");
    QTest::newRow("7 means none") << 32 << 7;
    QTest::newRow("hidden OK in Ja/Nein") << 20 << 0;
    QTest::newRow("hidden Beenden") << 4 << 6;
    QTest::newRow("out of range") << 4 << 12;
    QTest::newRow("negative") << 4 << -1;
}

void TestMsgTamu::noDefaultButton()
{
    QFETCH(int, style);
    QFETCH(int, defaultButton);
    int isDefault = -2;
    QString focusName;
    bool enterAnswered = true;
    onMsgBox("None", [&](frmMsgTamu *box) {
        isDefault = box->defaultButtonIndex();
        QWidget *f = QApplication::focusWidget();
        focusName = f ? f->objectName() : QString();
        // Enter must not answer: the box stays open until a button is clicked.
        QTest::keyClick(f ? f : box, Qt::Key_Return);
        enterAnswered = box->isAnswered();
        box->close();
    });
    QCOMPARE(MsgTamu("Text", style, defaultButton, "None", 0), QString());
    QCOMPARE(isDefault, -1);
    QVERIFY2(!focusName.startsWith("cmdButton"), qPrintable(focusName));
    QVERIFY(!enterAnswered);
}

void TestMsgTamu::accessKeysPressButtons()
{
    const struct
    {
        Qt::Key key;
        int style;
        const char *answer;
    } cases[] = {{Qt::Key_O, 4, "Ok"},       {Qt::Key_J, 32, "Ja"},          {Qt::Key_N, 32, "Nein"},
                 {Qt::Key_X, 32, "Exit"},     {Qt::Key_I, 54, "Ignorieren"},  {Qt::Key_W, 54, "Wiederholen"},
                 {Qt::Key_E, 60, "Beenden"}};
    for (const auto &c : cases) {
        onMsgBox("Keys", [&](frmMsgTamu *box) { QTest::keyClick(box, c.key, Qt::AltModifier); });
        QCOMPARE(MsgTamu("Text", c.style, 7, "Keys", 0), QString::fromLatin1(c.answer));
    }
}

void TestMsgTamu::sizeFollowsLaidOutLines_data()
{
    // Text box and window heights in twips as the user gets them (window: outside measure).
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<int>("windowHeight");
    QTest::addColumn<bool>("wide");
    QTest::newRow("1 line") << 1 << 900 << 2300 << false;
    QTest::newRow("4 lines") << 4 << 1040 << 2440 << false;
    QTest::newRow("11 lines") << 11 << 2860 << 4260 << true;
    QTest::newRow("40 lines") << 40 << 7700 << 9100 << true;
}

void TestMsgTamu::sizeFollowsLaidOutLines()
{
    QFETCH(int, lineCount);
    QFETCH(int, textHeight);
    QFETCH(int, windowHeight);
    QFETCH(bool, wide);
    QRect text, strip;
    QSize client;
    bool scrolls = false;
    onMsgBox("Size", [&](frmMsgTamu *box) {
        text = box->txtMsgText()->geometry();
        strip = box->fraMsgButton()->geometry();
        client = box->size();
        scrolls = box->txtMsgText()->textEdit()->verticalScrollBar()->isVisible();
        box->cmdButton(0)->click();
    });
    QCOMPARE(MsgTamu(lines(lineCount), 0, 0, "Size", 0), QString("Ok"));
    QCOMPARE(text.height(), Twips::toPx(textHeight));
    QCOMPARE(client.height(), Twips::toPx(windowHeight - MsgTamuRules::FrameHeight));
    QCOMPARE(text.width(), Twips::toPx(wide ? 6465 : 4965));
    QCOMPARE(client.width(), Twips::toPx(wide ? 7635 : 6090));
    QCOMPARE(strip.width(), Twips::toPx(wide ? 7620 : 6090));
    // The strip sits on the bottom edge and below the text.
    QCOMPARE(strip.bottom(), client.height() - 1);
    QVERIFY(strip.top() > text.bottom());
    QCOMPARE(scrolls, lineCount == 40);
}

void TestMsgTamu::colours_data()
{
    QTest::addColumn<QVariant>("back");
    QTest::addColumn<QVariant>("fore");
    QTest::addColumn<QColor>("expectedBack");
    QTest::addColumn<QColor>("expectedFore");
    const QColor defBack(227, 234, 244), defFore(0, 35, 53);
    QTest::newRow("empty texts") << QVariant(QString()) << QVariant(QString("")) << defBack << defFore;
    QTest::newRow("numbers") << QVariant(12632319) << QVariant(255) << QColor(255, 192, 192) << QColor(255, 0, 0);
    QTest::newRow("number as text") << QVariant(QString("65280")) << QVariant(QString()) << QColor(0, 255, 0)
                                    << defFore;
    QTest::newRow("no colour at all") << QVariant(QString("blau")) << QVariant(-1) << defBack << defFore;
}

void TestMsgTamu::colours()
{
    QFETCH(QVariant, back);
    QFETCH(QVariant, fore);
    QFETCH(QColor, expectedBack);
    QFETCH(QColor, expectedFore);
    QColor windowBack, textBack, textFore;
    onMsgBox("Colours", [&](frmMsgTamu *box) {
        windowBack = box->palette().color(QPalette::Window);
        textBack = box->txtMsgText()->textEdit()->palette().color(QPalette::Base);
        textFore = box->txtMsgText()->textEdit()->palette().color(QPalette::Text);
        box->cmdButton(0)->click();
    });
    MsgTamu("Text", 0, 0, "Colours", 0, back, fore);
    QCOMPARE(windowBack, expectedBack);
    QCOMPARE(textBack, expectedBack);
    QCOMPARE(textFore, expectedFore);
}

void TestMsgTamu::shortWaitsAreModalWithoutCountdown_data()
{
    QTest::addColumn<int>("seconds");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("negative") << -4;
}

void TestMsgTamu::shortWaitsAreModalWithoutCountdown()
{
    QFETCH(int, seconds);
    QWidget *modal = nullptr;
    QString caption;
    onMsgBox("Modal", [&](frmMsgTamu *box) {
        modal = QApplication::activeModalWidget();
        caption = box->windowTitle();
        box->cmdButton(0)->click();
    });
    QCOMPARE(MsgTamu("Text", 0, 0, "Modal", seconds), QString("Ok"));
    QVERIFY(modal != nullptr);
    QCOMPARE(caption, QString("Modal"));
}

void TestMsgTamu::countdownClosesWithEmptyResult()
{
    QStringList captions;
    QWidget *modal = reinterpret_cast<QWidget *>(1);
    onMsgBox("Count", [&](frmMsgTamu *box) {
        modal = QApplication::activeModalWidget();
        captions << box->windowTitle();
        connect(box, &QWidget::windowTitleChanged, box, [&](const QString &t) { captions << t; });
    });
    QCOMPARE(MsgTamu("Text", 20, 1, "Count", 2), QString());
    QCOMPARE(captions, QStringList({"Count (2)", "Count (1)", "Count (0)"}));
    QCOMPARE(modal, nullptr); // the rest of the program stays usable meanwhile
    QCOMPARE(frmMsgTamu::current(), nullptr);
}

void TestMsgTamu::closedWithoutButtonAnswersEmpty_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("escape");
    QTest::newRow("modal, close box") << 0 << false;
    QTest::newRow("modal, Escape") << 0 << true;
    QTest::newRow("counting down, close box") << 30 << false;
}

void TestMsgTamu::closedWithoutButtonAnswersEmpty()
{
    QFETCH(int, seconds);
    QFETCH(bool, escape);
    onMsgBox("Closed", [&](frmMsgTamu *box) {
        if (escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->close();
    });
    pubMsgResult = "stale";
    QCOMPARE(MsgTamu("Text", 32, 1, "Closed", seconds), QString());
    QCOMPARE(pubMsgResult, QString()); // cleared by the call, not left from the last one
}

void TestMsgTamu::boxOpenedDuringCountdownLeavesItIntact()
{
    QString inner;
    bool outerHiddenMeanwhile = false;
    QString outerCaptionAfter;
    int outerDefaultAfter = -2;
    onMsgBox("Outer", [&](frmMsgTamu *outer) {
        // An event handler that runs inside the countdown's wait opens a second box.
        onMsgBox("Inner", [&](frmMsgTamu *box) {
            outerHiddenMeanwhile = !outer->isVisible();
            box->cmdButton(4)->click();
        });
        inner = MsgTamu("Second", 54, 5, "Inner", 1);
        onMsgBox("Outer", [&](frmMsgTamu *again) {
            outerCaptionAfter = again->windowTitle();
            outerDefaultAfter = again->defaultButtonIndex();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
    });
    QCOMPARE(MsgTamu("First", 32, 2, "Outer", 30), QString("Nein"));
    QCOMPARE(inner, QString("Ignorieren"));
    QVERIFY(outerHiddenMeanwhile); // one box at a time
    QCOMPARE(outerCaptionAfter, QString("Outer (30)"));
    QCOMPARE(outerDefaultAfter, 2);
}

void TestMsgTamu::placedCentredOverOwnerAndKeptOnScreen()
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    const QRect workArea = owner.screen()->availableGeometry();
    const QRect ownerFrame = owner.frameGeometry();

    QRect small, tall;
    onMsgBox("Placed", [&](frmMsgTamu *box) {
        small = box->frameGeometry();
        box->cmdButton(0)->click();
    });
    MsgTamu("One line", 0, 0, "Placed", 0, QString(), QString(), &owner);
    // Centred at its designed size; a one-line text keeps that size.
    const QSize designed(Twips::toPx(6090), Twips::toPx(1905));
    QCOMPARE(small.size() - designed, ownerFrame.size() - owner.size());
    QCOMPARE(small.left(), ownerFrame.left() + (ownerFrame.width() - small.width()) / 2);
    QCOMPARE(small.top(), ownerFrame.top() + (ownerFrame.height() - small.height()) / 2);

    onMsgBox("Placed", [&](frmMsgTamu *box) {
        tall = box->frameGeometry();
        box->cmdButton(0)->click();
    });
    MsgTamu(lines(40), 0, 0, "Placed", 0, QString(), QString(), &owner);
    QCOMPARE(tall.left(), small.left()); // grows to the right...
    QVERIFY2(workArea.contains(tall), "a tall box must not hang off the screen with its buttons");
}

void TestMsgTamu::uniformErrorReport()
{
    QString text, caption;
    QColor back;
    int icon = -1;
    onMsgBox("frmExifTool_CommandAbfrage", [&](frmMsgTamu *box) {
        text = box->txtMsgText()->text();
        caption = box->windowTitle();
        back = box->palette().color(QPalette::Window);
        icon = box->shownIcon();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    });
    pubMsgResult.clear();
    UniformErrorReport(nullptr, "frmExifTool_CommandAbfrage", 53, "File not found");
    QCOMPARE(pubMsgResult, QString("Ok"));
    QCOMPARE(text, QString("53 File not found"));
    QCOMPARE(caption, QString("frmExifTool_CommandAbfrage"));
    QCOMPARE(back, QColor(255, 192, 192));
    QCOMPARE(icon, 4);
    QCOMPARE(SignalSound::recorded(), QStringList{"Stoppzeichen.wav"});
}

QTEST_MAIN(TestMsgTamu)
#include "tst_msgtamu.moc"
