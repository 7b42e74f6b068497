#include "app/CameraPanel.h"
#include "app/frmExifTool.h"
#include "fixture_window.h"
#include "pipeline/ReportListModel.h"

#include <QAction>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QtTest>

namespace
{
struct Shown {
    QStringList labels;
    QList<int> boldRows;
    int rows = 0;
};

// The photo through the real window and ExifTool in one language: the twelve labels and which
// rows are bold.
Shown showIn(const QString &photo, const QString &lang, bool sorted = false)
{
    QTemporaryDir config;
    ShownWindow f(config);
    f.ini->setValue("Options/LumoskopSprache", lang);
    f.ini->setValue("Options/ExiftoolSort", sorted ? "1" : "0");
    Shown shown;
    f.load(photo);
    if (!f.settle())
        return shown;
    for (int i = 0; i < 12; ++i)
        shown.labels << f.label(i);
    const ReportRows rows = f.model()->reportRows();
    shown.rows = int(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].bold)
            shown.boldRows << i;
    f.window.close();
    return shown;
}

// Catches what the program hands to the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};
} // namespace

// The camera panel in every language of the box, and the photo's place on a map.
class tst_Languages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!TestPhotos::exiftool().isEmpty(), "ExifTool must be installed");
        QVERIFY(m_dir.isValid());
        m_photo = m_dir.filePath("camera.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(m_photo));
        // Tags every panel field needs, the Composite ones included.
        QVERIFY(TestPhotos::writeTags(m_photo, {"-LensID=EF24-105mm f/4L IS USM", "-FocalLengthIn35mmFormat=36",
                                                "-ExifImageWidth=6000", "-ExifImageHeight=4000",
                                                "-FocalPlaneXResolution=4000", "-FocalPlaneYResolution=4000",
                                                "-FocalPlaneResolutionUnit=cm", "-SubjectDistance=10"}));
        for (const bool sorted : {false, true}) {
            m_english[sorted] = showIn(m_photo, "en", sorted);
            QVERIFY(m_english[sorted].rows > 20);
        }
    }

    void panelShowsTheSameFieldsAsInEnglish_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<bool>("sorted");
        for (const char *lang : {"ja", "ru", "fr", "ko", "zh", "es", "fi", "it", "nl", "pl", "sk", "sv", "tr"})
            QTest::addRow("%s", lang) << QString::fromLatin1(lang) << false;
        for (const char *lang : {"ja", "ru", "fr"})
            QTest::addRow("%s, sorted", lang) << QString::fromLatin1(lang) << true;
    }
    void panelShowsTheSameFieldsAsInEnglish()
    {
        QFETCH(QString, lang);
        QFETCH(bool, sorted);
        const Shown english = m_english[sorted];
        const Shown shown = showIn(m_photo, lang, sorted);
        QCOMPARE(shown.rows, english.rows);
        // The marks follow the same tags, line for line.
        QCOMPARE(shown.boldRows, english.boldRows);
        for (int i = 0; i < 12; ++i) {
            const QString en = english.labels[i];
            const QString here = shown.labels[i];
            QVERIFY2(!en.isEmpty(), qPrintable(QString("label %1 is empty in English").arg(i)));
            QVERIFY2(!here.isEmpty(), qPrintable(QString("label %1 is empty").arg(i)));
            // Numbers and names come out alike in every language, and so do the texts around
            // them; words (program, metering, white balance, mode) are ExifTool's own translation.
            if (i <= 5 || i == 7 || i == 11)
                QCOMPARE(here, en);
        }
    }

    void showOnMapOpensThePlace_data()
    {
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QString>("address"); // empty: no position, the item disabled
        QTest::newRow("north-east") << QStringList{"-GPSLatitude=48.1371079", "-GPSLatitudeRef=N",
                                                   "-GPSLongitude=11.5753822", "-GPSLongitudeRef=E"}
                                    << "https://www.openstreetmap.org/?mlat=48.1371079&mlon=11.5753822#map=16/"
                                       "48.1371079/11.5753822";
        QTest::newRow("south-west") << QStringList{"-GPSLatitude=33.4488897", "-GPSLatitudeRef=S",
                                                   "-GPSLongitude=70.6692655", "-GPSLongitudeRef=W"}
                                    << "https://www.openstreetmap.org/?mlat=-33.4488897&mlon=-70.6692655#map=16/"
                                       "-33.4488897/-70.6692655";
        QTest::newRow("no position") << QStringList{} << "";
    }
    void showOnMapOpensThePlace()
    {
        QFETCH(QStringList, tags);
        QFETCH(QString, address);
        QTemporaryDir dir;
        const QString photo = dir.filePath("gps.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        if (!tags.isEmpty())
            QVERIFY(TestPhotos::writeTags(photo, tags));
        ShownWindow f(dir);
        QSignalSpy position(&f.browser, &PhotoBrowser::positionChanged);
        f.load(photo);
        QVERIFY(f.settle());
        QTRY_VERIFY_WITH_TIMEOUT(!position.isEmpty(), 30000); // ExifTool has told, one way or the other
        QCOMPARE(child<QAction>(f.window, "mnuKarte")->isEnabled(), !address.isEmpty());
        QCOMPARE(child<QAction>(f.window, "mnuKarte")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        if (address.isEmpty())
            QVERIFY(!child<QAction>(f.window, "mnuKarte")->toolTip().isEmpty());
        UrlCatcher catcher;
        child<QAction>(f.window, "mnuKarte")->trigger();
        QCOMPARE(catcher.opened, address.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(address)});
        f.window.close();
    }

private:
    QTemporaryDir m_dir;
    QString m_photo;
    Shown m_english[2];
};

QTEST_MAIN(tst_Languages)
#include "tst_languages.moc"
