#include "app/MainLayout.h"
#include "start/SettingsStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// The settings file is edited by people and other programs too: whatever stands in it, the
// store reads it without failing, and a value that does not convert is reported as absent.
class tst_SettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void userFileIsNamedAfterTheTitle()
    {
        QCoreApplication::setApplicationName("Lumoskop");
        std::unique_ptr<QSettings> s(SettingsStore::openUserSettings());
        QCOMPARE(s->fileName(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/Lumoskop/Lumoskop.conf");
        QCOMPARE(s->format(), QSettings::IniFormat);
    }

    void readsDefaultOnlyWhenKeyIsAbsent()
    {
        QTemporaryDir dir;
        QSettings ini(dir.filePath("Lumoskop.conf"), QSettings::IniFormat);
        SettingsStore store(ini);
        QCOMPARE(store.ReadSetting("LumoskopSprache", "en"), QString("en"));
        store.WriteSetting("LumoskopSprache", "");
        QCOMPARE(store.ReadSetting("LumoskopSprache", "en"), QString(""));
        store.WriteSetting("LumoskopSprache", "de");
        QCOMPARE(store.ReadSetting("LumoskopSprache", "en"), QString("de"));
    }

    void writesAtOnceIntoSectionOptions()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Lumoskop.conf");
        {
            QSettings ini(path, QSettings::IniFormat);
            SettingsStore store(ini);
            store.WriteSetting("1ExiftoolHeader", "2000");
            store.WriteSetting("ExiftoolCheck", "1");
            // Read back by another reader before this one is gone: nothing is cached.
            QSettings other(path, QSettings::IniFormat);
            QCOMPARE(other.value("Options/1ExiftoolHeader").toString(), QString("2000"));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("[Options]"));
        QVERIFY(text.contains("1ExiftoolHeader=2000"));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isSingle");
        QTest::addColumn<double>("single");
        QTest::addColumn<bool>("isInt16");
        QTest::addColumn<int>("int16");
        QTest::newRow("whole") << "12360" << true << 12360.0 << true << 12360;
        QTest::newRow("blanks around") << " 100 " << true << 100.0 << true << 100;
        QTest::newRow("fraction") << "9.75" << true << 9.75 << true << 10;
        QTest::newRow("negative") << "-150" << true << -150.0 << true << -150;
        QTest::newRow("letters") << "abc" << false << 0.0 << false << 0;
        QTest::newRow("empty") << "" << false << 0.0 << false << 0;
        QTest::newRow("huge") << "1e30" << true << double(float(1e30)) << false << 0;
        QTest::newRow("beyond single") << "1e300" << false << 0.0 << false << 0;
        QTest::newRow("not a number") << "nan" << false << 0.0 << false << 0;
        QTest::newRow("comma decimal") << "9,75" << false << 0.0 << false << 0;
        QTest::newRow("beyond int16") << "40000" << true << 40000.0 << false << 0;
        QTest::newRow("largest int16") << "32767" << true << 32767.0 << true << 32767;
        QTest::newRow("one past it") << "32768" << true << 32768.0 << false << 0;
        QTest::newRow("smallest int16") << "-32768" << true << -32768.0 << true << -32768;
        QTest::newRow("one below it") << "-32769" << true << -32769.0 << false << 0;
        // Halves round to the even neighbour, as the stored numbers always did.
        QTest::newRow("half down to even") << "2.5" << true << 2.5 << true << 2;
        QTest::newRow("half up to even") << "3.5" << true << 3.5 << true << 4;
        // Stored as single precision: what comes back is the nearest float.
        QTest::newRow("single precision") << "0.1" << true << double(0.1f) << true << 0;
        QTest::newRow("tabs around") << "\t7\t" << true << 7.0 << true << 7;
        QTest::newRow("exponent") << "1e3" << true << 1000.0 << true << 1000;
    }
    void conversions()
    {
        QFETCH(QString, text);
        QFETCH(bool, isSingle);
        QFETCH(double, single);
        QFETCH(bool, isInt16);
        QFETCH(int, int16);
        const auto s = SettingsStore::toSingle(text);
        QCOMPARE(s.has_value(), isSingle);
        if (isSingle)
            QCOMPARE(*s, single);
        const auto i = SettingsStore::toInt16(text);
        QCOMPARE(i.has_value(), isInt16);
        if (isInt16)
            QCOMPARE(*i, int16);
    }

    // Each typed read stands alone: an unusable value is absent and its caller keeps what it had.
    void typedReadsRefuseWhatIsNoUsableValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // "" for absent
        QTest::newRow("top") << "ExiftoolTop" << "-30000" << "-30000";
        QTest::newRow("top letters") << "ExiftoolTop" << "abc" << "";
        QTest::newRow("left far off") << "ExiftoolLeft" << "1e30" << "";
        QTest::newRow("height") << "ExiftoolHeight" << "12360" << "12360";
        QTest::newRow("height zero") << "ExiftoolHeight" << "0" << "";
        QTest::newRow("width negative") << "ExiftoolWidth" << "-5" << "";
        QTest::newRow("column") << "2ExiftoolHeader" << "3000" << "3000";
        QTest::newRow("column words") << "1ExiftoolHeader" << "wide" << "";
        QTest::newRow("box on") << "TXTcheck" << "1" << "1";
        QTest::newRow("box state 7") << "ExiftoolCheck" << "7" << "";
        QTest::newRow("group") << "optExif" << "5" << "5";
        QTest::newRow("group 6") << "optExif" << "6" << "";
        QTest::newRow("font size") << "ProgSchriftSize" << "12" << "12";
        QTest::newRow("font size zero") << "ProgSchriftSize" << "0" << "";
        QTest::newRow("font size huge") << "ProgSchriftSize" << "4000" << "";
        QTest::newRow("blank font face") << "ProgSchriftName" << "   " << "";
        QTest::newRow("keeper off") << "ExifToolWarmSeconds" << "0" << "0";
        QTest::newRow("keeper for an hour") << "ExifToolWarmSeconds" << "3600" << "3600";
        QTest::newRow("keeper for less than no time") << "ExifToolWarmSeconds" << "-5" << "";
    }
    void typedReadsRefuseWhatIsNoUsableValue()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QSettings ini(dir.filePath("Lumoskop.conf"), QSettings::IniFormat);
        SettingsStore store(ini);
        store.WriteSetting(key, text);
        auto shown = [](auto value) { return value ? QString::number(*value) : QString(); };
        const QHash<QString, QString> read = {
            {"ExiftoolTop", shown(store.top())},
            {"ExiftoolLeft", shown(store.left())},
            {"ExiftoolHeight", shown(store.height())},
            {"ExiftoolWidth", shown(store.width())},
            {"1ExiftoolHeader", shown(store.columnWidth(1))},
            {"2ExiftoolHeader", shown(store.columnWidth(2))},
            {"TXTcheck", shown(store.option(SettingsStore::TXTcheck))},
            {"ExiftoolCheck", shown(store.option(SettingsStore::ExiftoolCheck))},
            {"optExif", shown(store.group())},
            {"ProgSchriftSize", shown(store.fontSize())},
            {"ProgSchriftName", store.fontName()},
            {"ExifToolWarmSeconds", shown(store.exifToolWarmSeconds())},
        };
        QCOMPARE(read.value(key), expected);
    }

    void handWrittenListValueStaysOneText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Lumoskop.conf");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\nProgSchriftName=DejaVu Sans, Bold\n");
        f.close();
        QSettings ini(path, QSettings::IniFormat);
        SettingsStore store(ini);
        QCOMPARE(store.ReadSetting("ProgSchriftName", "Segoe UI"), QString("DejaVu Sans, Bold"));
    }

    void unwritableStoreIsQuiet()
    {
        // A path through a regular file cannot be created, even as root.
        QTemporaryDir dir;
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings ini(dir.filePath("blocker/Lumoskop.conf"), QSettings::IniFormat);
        SettingsStore store(ini);
        store.WriteSetting("TXTcheck", "1");
        QCOMPARE(ini.status(), QSettings::AccessError);
    }

    void resizeRules_data()
    {
        QTest::addColumn<int>("W");
        QTest::addColumn<int>("H");
        QTest::addColumn<int>("listWidth");
        QTest::addColumn<int>("fileLeft");
        QTest::addColumn<int>("pathWidth");
        QTest::addColumn<int>("listHeight");
        QTest::newRow("designed") << 10680 << 11475 << 10380 << 10140 << 9890 << 5675;
        QTest::newRow("5000 wide") << 5000 << 11475 << 4700 << 4460 << 4210 << 5675;
        QTest::newRow("taller") << 10680 << 15000 << 10380 << 10140 << 9890 << 9200;
    }
    void resizeRules()
    {
        QFETCH(int, W);
        QFETCH(int, H);
        const MainLayout::Resized r = MainLayout::resize(W, H);
        QTEST(r.listWidth.value(), "listWidth");
        QTEST(r.cmdDateiLeft, "fileLeft");
        QTEST(r.txtBildpfadWidth.value(), "pathWidth");
        QTEST(r.listHeight.value(), "listHeight");
    }

    void tinyWindowRefusesNegativeSizesButNotANegativeLeft()
    {
        const MainLayout::Resized r = MainLayout::resize(200, 3000);
        QVERIFY(!r.listWidth);
        QVERIFY(!r.txtBildpfadWidth);
        QVERIFY(!r.listHeight);
        QCOMPARE(r.cmdDateiLeft, 200 - 390 - 150);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
