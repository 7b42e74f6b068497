#include "LumoskopVersion.h"
#include "about/Credits.h"

#include <QImage>
#include <QtTest>

class TestCredits : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void tickCycle_data();
    void tickCycle();
    void stripHoldsOneLinePerCredit();
    void stripCentresEachLine();
};

void TestCredits::lines_data()
{
    QTest::addColumn<QString>("programName");
    QTest::newRow("stored name") << QStringLiteral("L u m o s k o p");
    QTest::newRow("missing name") << QString();
}

void TestCredits::lines()
{
    QFETCH(QString, programName);
    const QStringList lines = Credits::CreditLines(programName);
    QCOMPARE(lines.size(), Credits::LineCount);
    // Only the sixth line follows the name; every other line keeps its place.
    QCOMPARE(lines[5], programName);
    QCOMPARE(lines[0], QStringLiteral("Q w e r i n"));
    QCOMPARE(lines[2], QStringLiteral("presents..."));
    QCOMPARE(lines[7], QStringLiteral("Version: ") + QLatin1String(LumoskopVersion::Text));
    QCOMPARE(lines[9], QStringLiteral("*"));
    QCOMPARE(lines[11], QStringLiteral("Developer"));
    QCOMPARE(lines[13], QStringLiteral("L u m o s k o p   T e a m"));
    QCOMPARE(lines[18], QStringLiteral("- - -"));
    for (int i : {1, 3, 4, 6, 8, 10, 12, 14, 15, 16, 17, 19})
        QVERIFY2(lines[i].isEmpty(), qPrintable(QString::number(i + 1)));
}

void TestCredits::tickCycle_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("height");
    QTest::newRow("window's own sizes") << 133 << 320;
    QTest::newRow("one-pixel strip") << 10 << 1;
    QTest::newRow("empty strip") << 5 << 0;
    QTest::newRow("viewport without height") << 0 << 7;
}

void TestCredits::tickCycle()
{
    QFETCH(int, start);
    QFETCH(int, height);
    int top = start;
    int moves = 0;
    for (;;) {
        const Credits::Step step = Credits::NextStripTop(top, height, start);
        if (step.restart) {
            QCOMPARE(step.top, start);
            break;
        }
        QCOMPARE(step.top, top - 1);
        top = step.top;
        ++moves;
        QVERIFY2(moves <= start + height, "the strip never left the viewport");
    }
    QCOMPARE(moves, start + height);
    QCOMPARE(top, -height); // its bottom edge has just reached the viewport's top
}

// The rows of `strip` from `top` that hold any pixel other than the back colour.
static bool inked(const QImage &strip, int top, int rows, QColor back, int *left = nullptr, int *right = nullptr)
{
    bool any = false;
    for (int y = top; y < top + rows && y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x)
            if (strip.pixelColor(x, y) != back) {
                if (left && (!any || x < *left))
                    *left = x;
                if (right && (!any || x > *right))
                    *right = x;
                any = true;
            }
    return any;
}

void TestCredits::stripHoldsOneLinePerCredit()
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    const int line = Credits::LineHeight(font);
    QVERIFY(line > 0);
    const QColor back(173, 201, 222);
    const QImage strip = Credits::DrawCreditStrip(Credits::CreditLines(QString()), font, 246, back, Qt::black);
    QCOMPARE(strip.size(), QSize(246, Credits::LineCount * line));

    // With no program name the sixth line stays blank, the first and eighth are printed
    // on their own lines.
    QVERIFY(inked(strip, 0, line, back));
    QVERIFY(!inked(strip, 5 * line, line, back));
    QVERIFY(inked(strip, 7 * line, line, back));
    QVERIFY(!inked(strip, 19 * line, line, back));
}

void TestCredits::stripCentresEachLine()
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    const int line = Credits::LineHeight(font);
    const QColor back(Qt::white);
    for (const QString &text :
         {QStringLiteral("*"), QStringLiteral("Developer"), QStringLiteral("A long line of credits")}) {
        const QImage strip = Credits::DrawCreditStrip({text}, font, 246, back, Qt::black);
        int left = 0, right = 0;
        QVERIFY(inked(strip, 0, line, back, &left, &right));
        const int spaceLeft = left, spaceRight = strip.width() - 1 - right;
        // Glyph side bearings make the ink a pixel or two off centre, never more.
        QVERIFY2(qAbs(spaceLeft - spaceRight) <= 3,
                 qPrintable(QStringLiteral("%1: %2 vs %3").arg(text).arg(spaceLeft).arg(spaceRight)));
    }
}

QTEST_MAIN(TestCredits)
#include "tst_credits.moc"
