// The message box as the user meets it: answers, Enter and access keys, the default button,
// sizing by the text as the font in use lays it out (also run at 150 and 200 %), colours, countdown, closing, a box
// opened inside another one's wait, placement over its owner and the uniform error report.
#include "BoxAnswers.h"

#include "controls/CaptionedTextBox.h"
#include "controls/Fonts.h"
#include "controls/GradientButton.h"
#include "controls/Twips.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmMsgTamu.h"
#include "dialogs/modMsgTamu.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

namespace
{
QString lines(int count)
{
    QStringList l;
    for (int i = 1; i <= count; ++i)
        l << QStringLiteral("Zeile %1").arg(i);
    return l.join(QStringLiteral("\r\n"));
}
} // namespace

class TestMsgTamu : public BoxTestCase
{
    Q_OBJECT
private slots:
    void answersWithTheButtonsWord_data();
    void answersWithTheButtonsWord();
    void noDefaultButton();
    void sizeFollowsTheText_data();
    void sizeFollowsTheText();
    void countdownClosesWithEmptyResult();
    void closedWithoutButtonAnswersEmpty_data();
    void closedWithoutButtonAnswersEmpty();
    void boxOpenedDuringCountdownLeavesItIntact();
    void ownerClosedDuringCountdown();
    void placedOverOwnerAndKeptOnScreen();
    void uniformErrorReport();
};

void TestMsgTamu::answersWithTheButtonsWord_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QString>("keys"); // "enter", or the access key pressed with Alt
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("sound");
    QTest::newRow("&OK answers Ok") << 4 << 0 << "enter"
                                    << "Ok"
                                    << "Stoppzeichen.wav";
    QTest::newRow("Enter on Ja") << 32 << 1 << "enter"
                                 << "Ja"
                                 << "Fragezeichen.wav";
    QTest::newRow("Enter on Beenden") << 60 << 6 << "enter"
                                      << "Beenden"
                                      << "Infozeichen.wav";
    QTest::newRow("Alt+X") << 32 << 1 << "x"
                           << "Exit"
                           << "Fragezeichen.wav";
    QTest::newRow("Alt+N") << 23 << 7 << "n"
                           << "Nein"
                           << "Ausrufezeichen.wav";
    QTest::newRow("Alt+I") << 55 << 7 << "i"
                           << "Ignorieren"
                           << "";
    QTest::newRow("Alt+W") << 41 << 7 << "w"
                           << "Wiederholen"
                           << "Infozeichen.wav";
    QTest::newRow("Alt+E") << 75 << 0 << "e"
                           << "Beenden"
                           << "";
}

void TestMsgTamu::answersWithTheButtonsWord()
{
    QFETCH(int, style);
    QFETCH(int, defaultButton);
    QFETCH(QString, keys);
    QFETCH(QString, answer);
    QFETCH(QString, sound);
    onMsgBox("Answer", [&](frmMsgTamu *box) {
        if (keys == "enter")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            QTest::keyClick(box, Qt::Key(Qt::Key_A + keys[0].unicode() - 'a'), Qt::AltModifier);
    });
    QCOMPARE(MsgTamu("Text", style, defaultButton, "Answer", 0), answer);
    QCOMPARE(SignalSound::recorded(), sound.isEmpty() ? QStringList() : QStringList{sound});
}

void TestMsgTamu::noDefaultButton()
{
    // 7 means none; a default that the style hides (OK in a Ja/Nein box) is left alone too.
    for (const auto &[style, defaultButton] : {std::pair{32, 7}, std::pair{20, 0}}) {
        int isDefault = -2;
        QString focus;
        bool enterAnswered = true;
        onMsgBox("None", [&](frmMsgTamu *box) {
            isDefault = box->defaultButtonIndex();
            focus = QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            enterAnswered = box->isAnswered();
            box->cmdButton(2)->click();
        });
        QCOMPARE(MsgTamu("Text", style, defaultButton, "None", 0), QString("Nein"));
        QCOMPARE(isDefault, -1);
        QVERIFY2(!focus.startsWith("cmdButton"), qPrintable(focus));
        QVERIFY(!enterAnswered);
    }
}

void TestMsgTamu::sizeFollowsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("1 line") << lines(1) << false;
    QTest::newRow("3 lines") << lines(3) << false;
    QTest::newRow("6 lines") << lines(6) << false;
    QTest::newRow("12 lines") << lines(12) << false;
    // A notice as the program words one: a long path wraps, ExifTool's own line follows.
    QTest::newRow("wrapped notice")
        << QStringLiteral(
               "ExifTool wrote no report for \"/home/user/Bilder/2023/Urlaub an der Ostsee/IMG_20230501_101112.jpg\" "
               "(exit code 1).\r\n\r\nError: File not found - /home/user/Bilder/2023/Urlaub an der Ostsee/"
               "IMG_20230501_101112.jpg")
        << false;
    QTest::newRow("40 lines") << lines(40) << true;
}

void TestMsgTamu::sizeFollowsTheText()
{
    QFETCH(QString, text);
    QFETCH(bool, scrolls);
    QRect textBox, strip, lastLine;
    QSize client;
    bool scrollBar = true;
    onMsgBox("Size", [&](frmMsgTamu *box) {
        QTextEdit *edit = box->txtMsgText()->textEdit();
        textBox = box->txtMsgText()->geometry();
        strip = box->fraMsgButton()->geometry();
        client = box->size();
        scrollBar = edit->verticalScrollBar()->isVisible();
        QTextCursor end(edit->document());
        end.movePosition(QTextCursor::End);
        // The last line where the user sees it: in the dialog, if it lies inside the text's viewport.
        const QRect inViewport = edit->cursorRect(end);
        if (edit->viewport()->rect().contains(inViewport))
            lastLine = QRect(edit->viewport()->mapTo(box, inViewport.topLeft()), inViewport.size());
        box->cmdButton(0)->click();
    });
    MsgTamu(text, 0, 0, "Size", 0);
    QCOMPARE(scrollBar, scrolls);
    if (!scrolls) {
        // Every line shows, the last one whole and above the button strip.
        QVERIFY2(!lastLine.isNull(), "the last line lies outside the text box");
        QVERIFY2(
            lastLine.bottom() < strip.top(),
            qPrintable(QStringLiteral("last line down to %1, strip from %2").arg(lastLine.bottom()).arg(strip.top())));
        // Nor is the box much taller than its text: measured in the narrow layout, a text shown
        // wide may leave a line or two empty below it, no more.
        if (textBox.height() > Twips::toPx(900))
            QVERIFY2(textBox.bottom() - lastLine.bottom() <= 3 * lastLine.height(),
                     qPrintable(QStringLiteral("text box down to %1, last line to %2")
                                    .arg(textBox.bottom())
                                    .arg(lastLine.bottom())));
    }
    // The design's rules on the text box's height.
    const int designed = Twips::toPx(MsgTamuRules::DesignedClientHeight);
    QVERIFY(textBox.height() >= Twips::toPx(900));
    QVERIFY(textBox.height() <= Twips::toPx(7700));
    QCOMPARE(textBox.height() == Twips::toPx(7700), scrolls);
    if (textBox.height() == Twips::toPx(900))
        QCOMPARE(client.height(), designed);
    else
        QCOMPARE(client.height(), textBox.height() + Twips::toPx(1400 - MsgTamuRules::FrameHeight));
    const bool wide = textBox.height() > Twips::toPx(2700);
    QCOMPARE(textBox.width(), Twips::toPx(wide ? 6465 : 4965));
    QCOMPARE(strip.width(), Twips::toPx(wide ? 7620 : 6090));
    QCOMPARE(strip.bottom(), client.height() - 1);
    QVERIFY(strip.top() > textBox.bottom());
}

void TestMsgTamu::countdownClosesWithEmptyResult()
{
    // One second behaves like none: modal, caption untouched.
    QWidget *modal = nullptr;
    QString caption;
    onMsgBox("Count", [&](frmMsgTamu *box) {
        modal = QApplication::activeModalWidget();
        caption = box->windowTitle();
        box->cmdButton(1)->click();
    });
    QCOMPARE(MsgTamu("Text", 20, 1, "Count", 1), QString("Ja"));
    QVERIFY(modal);
    QCOMPARE(caption, QString("Count"));

    QStringList captions;
    onMsgBox("Count", [&](frmMsgTamu *box) {
        modal = QApplication::activeModalWidget();
        captions << box->windowTitle();
        connect(box, &QWidget::windowTitleChanged, box, [&](const QString &t) { captions << t; });
    });
    QCOMPARE(MsgTamu("Text", 20, 1, "Count", 2), QString());
    QCOMPARE(captions, QStringList({"Count (2)", "Count (1)", "Count (0)"}));
    QCOMPARE(modal, nullptr); // the rest of the program stays usable meanwhile
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
    QCOMPARE(pubMsgResult, QString());
}

void TestMsgTamu::boxOpenedDuringCountdownLeavesItIntact()
{
    QString inner, outerCaptionAfter;
    bool outerHiddenMeanwhile = false;
    int outerDefaultAfter = -2;
    onMsgBox("Outer", [&](frmMsgTamu *outer) {
        // An event handler run by the countdown's wait opens a second box.
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

void TestMsgTamu::ownerClosedDuringCountdown()
{
    // The window that asked goes away while its box counts down and takes the box with it.
    auto *owner = new QWidget;
    owner->show();
    onMsgBox("Gone", [&](frmMsgTamu *) { delete owner; });
    QCOMPARE(MsgTamu("Text", 0, 0, "Gone", 30, QString(), QString(), owner), QString());
    QCOMPARE(frmMsgTamu::current(), nullptr);
}

void TestMsgTamu::placedOverOwnerAndKeptOnScreen()
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    const QRect ref = owner.frameGeometry();
    QRect small, tall;
    onMsgBox("Placed", [&](frmMsgTamu *box) {
        small = box->frameGeometry();
        box->cmdButton(0)->click();
    });
    MsgTamu("One line", 0, 0, "Placed", 0, QString(), QString(), &owner);
    QCOMPARE(small.topLeft(),
             QPoint(ref.left() + (ref.width() - small.width()) / 2, ref.top() + (ref.height() - small.height()) / 2));

    onMsgBox("Placed", [&](frmMsgTamu *box) {
        tall = box->frameGeometry();
        box->cmdButton(0)->click();
    });
    MsgTamu(lines(40), 0, 0, "Placed", 0, QString(), QString(), &owner);
    QCOMPARE(tall.left(), small.left()); // grown to the right, but not off the bottom
    QVERIFY(owner.screen()->availableGeometry().contains(tall));
}

void TestMsgTamu::uniformErrorReport()
{
    QString text, caption;
    QColor back, textBack, textFore;
    int icon = -1;
    onMsgBox("frmExifTool_CommandAbfrage", [&](frmMsgTamu *box) {
        text = box->txtMsgText()->text();
        caption = box->windowTitle();
        back = box->palette().color(QPalette::Window);
        textBack = box->txtMsgText()->textEdit()->palette().color(QPalette::Base);
        textFore = box->txtMsgText()->textEdit()->palette().color(QPalette::Text);
        icon = box->shownIcon();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    });
    UniformErrorReport(nullptr, "frmExifTool_CommandAbfrage", 53, "File not found");
    QCOMPARE(pubMsgResult, QString("Ok"));
    QCOMPARE(text, QString("53 File not found"));
    QCOMPARE(caption, QString("frmExifTool_CommandAbfrage"));
    QCOMPARE(back, QColor(255, 192, 192));
    QCOMPARE(textBack, back); // the text box follows the window's colours
    QCOMPARE(textFore, QColor(0, 35, 53));
    QCOMPARE(icon, 4);
}

QTEST_MAIN(TestMsgTamu)
#include "tst_msgtamu.moc"
