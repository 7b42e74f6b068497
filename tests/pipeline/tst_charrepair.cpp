#include "pipeline/CharRepair.h"

#include <QtTest>

// Mis-encoded text as the old reader saw it: UTF-8 bytes taken one by one as Windows-1252.
static QString misread(const QString &text)
{
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out;
    for (const char byte : text.toUtf8()) {
        const auto b = static_cast<unsigned char>(byte);
        out += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

class TestCharRepair : public QObject
{
    Q_OBJECT

private slots:
    void repair_data();
    void repair();
    void misreadUtf8IsMended_data();
    void misreadUtf8IsMended();
    void untouchedTextIsNotCopied();
    void sonderzeichenRepairsNamesAndValues();
};

void TestCharRepair::repair_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German description") << QStringLiteral("Ger\u00C3\u00A4tehersteller")
                                        << QStringLiteral("Ger\u00E4tehersteller");
    QTest::newRow("less and greater") << QStringLiteral("&lt;b&gt; x &lt;") << QStringLiteral("<b> x <");
    QTest::newRow("euro, three ways") << QStringLiteral("\u00E2\u201A\u00AC \u00C2\u20AC &#8364;")
                                      << QStringLiteral("\u20AC \u20AC \u20AC");
    QTest::newRow("doubled prefix squared") << QStringLiteral("m\u00C2\u00C2\u00B2") << QStringLiteral("m\u00B2");
    QTest::newRow("doubled prefix cubed") << QStringLiteral("m\u00C2\u00C2\u00B3") << QStringLiteral("m\u00B3");
    QTest::newRow("tripled prefix is mended twice only")
        << QStringLiteral("\u00C2\u00C2\u00C2\u00B2") << QStringLiteral("\u00C2\u00B2");
    QTest::newRow("references for umlauts") << QStringLiteral("\u00C3&#339; \u00C3&#8222; \u00C3&#8211; \u00C3&#376;")
                                            << QStringLiteral("\u00DC \u00C4 \u00D6 \u00DF");
    QTest::newRow("pair after no. 40") << QStringLiteral("Cr\u00C3\u00A8me") << QStringLiteral("Cr\u00E8me");
    QTest::newRow("long dash, five characters")
        << QStringLiteral("a\u00C3\u00A2\u20AC\u00C2\u201Cb") << QStringLiteral("a\u2013b");
    QTest::newRow("quotes") << QStringLiteral("\u00E2\u20AC\u017Ex\u00E2\u20AC\u0153 \u00E2\u20AC\u2122")
                            << QStringLiteral("\u201Ex\u201C \u2019");
    QTest::newRow("a replacement is not searched again") << QStringLiteral("&amp;lt;") << QStringLiteral("&amp;lt;");
    QTest::newRow("case counts") << QStringLiteral("&LT;") << QStringLiteral("&LT;");
    QTest::newRow("correct text stays") << QString::fromUtf8("Weißabgleich – 5°")
                                        << QString::fromUtf8("Weißabgleich – 5°");
    QTest::newRow("plain ASCII") << QStringLiteral("Canon EOS 5D Mark IV") << QStringLiteral("Canon EOS 5D Mark IV");
    QTest::newRow("ampersand alone") << QStringLiteral("A & B") << QStringLiteral("A & B");
    QTest::newRow("empty") << QString() << QString();
}

void TestCharRepair::repair()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(CharRepair::repair(text), expected);
}

void TestCharRepair::misreadUtf8IsMended_data()
{
    // Text stored mis-encoded inside the metadata reaches the list as the old reader saw it; the
    // table mends umlauts, the Latin-1 signs and the typographic marks it lists (not "—" or "‹").
    QTest::addColumn<QString>("original");
    for (const char *text :
         {"Gerätehersteller", "Änderungsdatum", "Übersicht", "Öffnung", "Weißabgleich", "Jürgen Müller", "10 €", "5°C",
          "§ 3", "m² m³", "µs", "«a»", "© ® ±", "½ ¼ ¾", "¦ ¯ £", "–", "… „x“ ‘y’ ‚z", "crème"})
        QTest::newRow(text) << QString::fromUtf8(text);
}

void TestCharRepair::misreadUtf8IsMended()
{
    QFETCH(QString, original);
    QCOMPARE(CharRepair::repair(misread(original)), original);
}

void TestCharRepair::untouchedTextIsNotCopied()
{
    const QString text = QStringLiteral("ExifTool Version Number         ");
    QVERIFY(!CharRepair::mayNeedRepair(text));
    QCOMPARE(CharRepair::repair(text).constData(), text.constData());
}

void TestCharRepair::sonderzeichenRepairsNamesAndValues()
{
    ReportRows rows(3);
    rows[0].name = QStringLiteral("K\u00C3\u00BCnstler ");
    rows[0].value = QStringLiteral(" J\u00C3\u00BCrgen");
    rows[1].name = rows[0].name;
    rows[1].value = QStringLiteral("---- IFD0 ----");
    rows[1].header = true;
    rows[1].bold = true;
    rows[2].name = QStringLiteral("Make ");
    rows[2].value = QStringLiteral(" &lt;x&gt;");
    CharRepair::SONDERZEICHEN(rows);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].name, QString::fromUtf8("Künstler "));
    QCOMPARE(rows[0].value, QString::fromUtf8(" Jürgen"));
    QCOMPARE(rows[1].name, QString::fromUtf8("Künstler "));
    QCOMPARE(rows[1].value, QStringLiteral("---- IFD0 ----"));
    QVERIFY(rows[1].bold && rows[1].header && !rows[0].bold);
    QCOMPARE(rows[2].value, QStringLiteral(" <x>"));

    ReportRows none;
    CharRepair::SONDERZEICHEN(none);
    QVERIFY(none.isEmpty());
}

QTEST_GUILESS_MAIN(TestCharRepair)
#include "tst_charrepair.moc"
