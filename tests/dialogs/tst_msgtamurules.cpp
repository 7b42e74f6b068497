// The message box's decisions without a window: style table, sizing, colours, default button,
// text.
#include "dialogs/MsgTamuRules.h"

#include <QTest>
#include <climits>

using namespace MsgTamuRules;

class TestMsgTamuRules : public QObject
{
    Q_OBJECT
private slots:
    void styleTable_data();
    void styleTable();
    void sizing_data();
    void sizing();
    void colours();
    void defaultButtonOnlyWhenShown();
    void lineBreaks();
};

void TestMsgTamuRules::styleTable_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QVector<int>>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("sound");

    const QVector<int> rows[] = {{0}, {0, 3}, {1, 2}, {1, 2, 3}, {3, 5}, {3, 4, 5}, {0, 6}};
    const QString sounds[] = {"Infozeichen.wav",    "Infozeichen.wav",  "Fragezeichen.wav",
                              "Ausrufezeichen.wav", "Stoppzeichen.wav", ""};
    for (int row = 0; row < 7; ++row)
        for (int rest = 0; rest <= 5; ++rest)
            QTest::addRow("%d", row * 10 + rest)
                << row * 10 + rest << rows[row] << (rest <= 4 ? rest : 0) << sounds[rest];
    QTest::newRow("9") << 9 << rows[0] << 0 << "";
    QTest::newRow("-1") << -1 << rows[0] << 0 << "";
    QTest::newRow("-36") << -36 << rows[0] << 0 << "";
    QTest::newRow("INT_MIN") << INT_MIN << rows[0] << 0 << "";
    QTest::newRow("75") << 75 << rows[6] << 0 << "";
    QTest::newRow("INT_MAX") << INT_MAX << rows[6] << 0 << "";
}

void TestMsgTamuRules::styleTable()
{
    QFETCH(int, style);
    QFETCH(QVector<int>, buttons);
    QFETCH(int, icon);
    QFETCH(QString, sound);
    const Style s = MsgTamuRules::style(style);
    QCOMPARE(s.buttons, buttons);
    QCOMPARE(int(s.icon), icon);
    QCOMPARE(s.sound, sound);
}

void TestMsgTamuRules::sizing_data()
{
    // What the window measured (pixels), and the box that follows, in twips.
    QTest::addColumn<qreal>("pixels");
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<int>("windowHeight");
    QTest::addColumn<bool>("wide");
    const int designed = DesignedWindowHeight;
    QTest::newRow("nothing") << 0.0 << 900 << designed << false;
    QTest::newRow("no number") << qQNaN() << 900 << designed << false;
    QTest::newRow("fits the designed box") << 60.0 << 900 << designed << false;
    QTest::newRow("part of a pixel more") << 60.25 << 915 << 2315 << false;
    QTest::newRow("narrow up to 2700") << 180.0 << 2700 << 4100 << false;
    QTest::newRow("wide above") << 180.5 << 2715 << 4115 << true;
    QTest::newRow("tallest box") << 520.0 << 7700 << 9100 << true;
    QTest::newRow("beyond any screen") << 1e12 << 7700 << 9100 << true;
}

void TestMsgTamuRules::sizing()
{
    QFETCH(qreal, pixels);
    QFETCH(int, textHeight);
    QFETCH(int, windowHeight);
    QFETCH(bool, wide);
    const Size s = sizeFor(neededTextHeight(pixels));
    QCOMPARE(s.textHeight, textHeight);
    QCOMPARE(s.windowHeight, windowHeight);
    QCOMPARE(s.wide, wide);
    QCOMPARE(s.textWidth, wide ? 6465 : 4965);
    QCOMPARE(s.windowWidth, wide ? 7725 : 6180);
}

void TestMsgTamuRules::colours()
{
    QCOMPARE(colour(QString(), 42), 42u);
    QCOMPARE(colour(QVariant(), 42), 42u);
    QCOMPARE(colour(0, 42), 0u);
    QCOMPARE(colour(16777215, 42), 16777215u);
    QCOMPARE(colour(qint64(3482368), 42), 3482368u);
    QCOMPARE(colour(QString("16050915"), 42), 16050915u);
    // No 24-bit colour: the default stays, as a refused value would leave it.
    QCOMPARE(colour(QString("rot"), 42), 42u);
    QCOMPARE(colour(-2147483633, 42), 42u);
    QCOMPARE(colour(16777216, 42), 42u);
}

void TestMsgTamuRules::defaultButtonOnlyWhenShown()
{
    QCOMPARE(defaultButton(1, {1, 2, 3}), 1);
    QCOMPARE(defaultButton(7, {0, 6}), -1);
    QCOMPARE(defaultButton(0, {1, 2}), -1);
    QCOMPARE(defaultButton(9, {0}), -1);
    QCOMPARE(defaultButton(-1, {0}), -1);
}

void TestMsgTamuRules::lineBreaks()
{
    QCOMPARE(displayText("Ja: Copy all\r\nNein: Copy selected rows"),
             QString("Ja: Copy all\nNein: Copy selected rows"));
    QCOMPARE(displayText("a\rb\r\n\r\nc"), QString("a\nb\n\nc"));
}

QTEST_GUILESS_MAIN(TestMsgTamuRules)
#include "tst_msgtamurules.moc"
