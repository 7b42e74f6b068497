// The key exposure tags the list shows in bold: which names count, and which rows get the mark.
#include "pipeline/KeyTags.h"

#include <QSet>
#include <QtTest>

class TestKeyTags : public QObject
{
    Q_OBJECT

private slots:
    void highlighted_data();
    void highlighted();
    void markBold();
};

void TestKeyTags::highlighted_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bold");
    QTest::newRow("padded English") << QStringLiteral("Make                            ") << true;
    QTest::newRow("blanks both ends") << QStringLiteral("  Lens  ") << true;
    QTest::newRow("German with umlaut") << QString::fromUtf8("Gerätehersteller ") << true;
    QTest::newRow("German sharp s") << QString::fromUtf8("Weißabgleich") << true;
    QTest::newRow("Objektiv") << QStringLiteral("Objektiv") << true;
    QTest::newRow("longest") << QStringLiteral("Brennweite in 35 mm-Kleinbildformat  ") << true;
    QTest::newRow("35 mm equivalent") << QStringLiteral("Scale Factor To 35 mm Equivalent") << true;
    QTest::newRow("Lens Info") << QStringLiteral("Lens Info                       ") << false;
    QTest::newRow("case counts") << QStringLiteral("make") << false;
    QTest::newRow("not trimmed of tabs") << QStringLiteral("\tISO") << false;
    QTest::newRow("mis-encoded") << QStringLiteral("Ger\u00C3\u00A4tehersteller") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << QStringLiteral("     ") << false;
}

void TestKeyTags::highlighted()
{
    QFETCH(QString, name);
    QFETCH(bool, bold);
    QCOMPARE(KeyTags::isHighlighted(name), bold);
}

void TestKeyTags::markBold()
{
    const QStringList names = KeyTags::names();
    QCOMPARE(names.size(), 54);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 54);
    for (const QString &name : names)
        QVERIFY2(KeyTags::isHighlighted(QLatin1Char(' ') + name + QLatin1String("   ")), qPrintable(name));

    ReportRows rows(4);
    rows[0].value = QStringLiteral("---- IFD0 ----"); // no tag above: empty name
    rows[1].name = QStringLiteral("Make  ");
    rows[2].name = rows[1].name; // header right after a bold tag
    rows[2].header = true;
    rows[3].name = QStringLiteral("Software ");
    rows[3].bold = true; // marks are never cleared
    KeyTags::markBold(rows);
    QVERIFY(!rows[0].bold);
    QVERIFY(rows[1].bold);
    QVERIFY(rows[2].bold);
    QVERIFY(rows[3].bold);
}

QTEST_GUILESS_MAIN(TestKeyTags)
#include "tst_keytags.moc"
