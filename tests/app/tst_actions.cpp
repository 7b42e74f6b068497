#include "about/frmInfo.h"
#include "app/CameraPanel.h"
#include "app/PhotoOpener.h"
#include "app/frmExifTool.h"
#include "fixture_window.h"
#include "pipeline/ReportListModel.h"

#include "LumoskopVersion.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

// Catches what the program hands to the desktop to open, instead of a browser or viewer.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

// The actions on rows, the photo, the camera label and the menus.
class tst_Actions : public QObject
{
    Q_OBJECT
private slots:
    void copyAsksAndPutsRowsOnTheClipboard_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("select");
        QTest::addColumn<int>("lines"); // -1: the clipboard keeps what it had
        QTest::newRow("Ja: all rows") << "Ja" << true << -2;
        QTest::newRow("Nein: the selected row") << "Nein" << true << 1;
        QTest::newRow("Nein, nothing selected: untouched") << "Nein" << false << -1;
        QTest::newRow("Exit: untouched") << "Exit" << true << -1;
        QTest::newRow("closed: untouched") << "" << true << -1;
    }
    void copyAsksAndPutsRowsOnTheClipboard()
    {
        QFETCH(QString, answer);
        QFETCH(bool, select);
        QFETCH(int, lines);
        QTemporaryDir dir;
        const QString photo = dir.filePath("copy.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        f.ini->setValue("Options/optExif", "0"); // "All" selects the first row
        f.load(photo);
        QVERIFY(f.settle());
        if (!select)
            child<QTreeView>(f.window, "lvwExifTool")->clearSelection();
        QGuiApplication::clipboard()->setText("before");
        BoxWatcher boxes(answer);
        f.trigger("actCopy");
        QCOMPARE(boxes.titles, QStringList{"Exif copy"});
        QCOMPARE(boxes.texts, QStringList{"Ja: Copy all\nNein: Copy selected rows"});
        const QString text = QGuiApplication::clipboard()->text();
        if (lines == -1) {
            QCOMPARE(text, QString("before"));
        } else {
            const int expected = lines == -2 ? f.rows() : lines;
            QCOMPARE(int(text.count("\r\n")), expected);
            if (expected > 0) {
                const ReportRow first = f.model()->rowAt(0);
                QVERIFY(text.startsWith(first.name + "\t" + first.value + "\r\n"));
                QVERIFY(text.endsWith("\r\n"));
            }
        }
        f.window.close();
    }

    void cameraLabelOpensOnlyAPlainMakerPage_data()
    {
        QTest::addColumn<QString>("maker");
        QTest::addColumn<QString>("opened");
        QTest::newRow("Canon") << "Canon"
                               << "https://www.canon.de";
        QTest::newRow("Fuji") << "Fuji"
                              << "https://www.fujifilm.de";
        QTest::newRow("phishing") << "evil.example/phish?"
                                  << "";
        QTest::newRow("user at host") << "me@evil.example"
                                      << "";
        QTest::newRow("scheme") << "javascript:alert(1)"
                                << "";
    }
    void cameraLabelOpensOnlyAPlainMakerPage()
    {
        QFETCH(QString, maker);
        QFETCH(QString, opened);
        QTemporaryDir dir;
        const QString photo = dir.filePath("maker.jpg");
        QVERIFY(TestPhotos::makeJpeg(photo));
        QVERIFY(TestPhotos::writeTags(photo, {"-Make=" + maker, "-Model=X1"}));
        ShownWindow f(dir);
        f.load(photo);
        QVERIFY(f.settle());
        QCOMPARE(f.label(5), maker + " X1");
        UrlCatcher catcher;
        QTest::mouseClick(f.window.findChild<QLabel *>("lblExif3"), Qt::LeftButton); // other labels do nothing
        QVERIFY(catcher.opened.isEmpty());
        QTest::mouseClick(f.window.findChild<QLabel *>("lblExif5"), Qt::LeftButton);
        if (opened.isEmpty())
            QVERIFY(catcher.opened.isEmpty());
        else
            QCOMPARE(catcher.opened, QList<QUrl>{QUrl(opened)});
        f.window.close();
    }

    void photoTravelsAsOneUrl()
    {
        QTemporaryDir dir;
        // Blanks, quotes and shell characters: the name must reach the opener whole and inert.
        const QString photo = dir.filePath("a b 'c' \"d\" $(touch pwned) `touch pwned2`; rm -rf x.jpg");
        QVERIFY(TestPhotos::makeJpeg(dir.filePath("made.jpg")));
        QVERIFY(QFile::rename(dir.filePath("made.jpg"), photo));
        UrlCatcher catcher;
        PhotoOpener opener;
        QSignalSpy finished(&opener, &PhotoOpener::finished);
        opener.open(photo);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().at(0).toInt(), 0);
        QCOMPARE(catcher.opened.size(), 1);
        const QString local = catcher.opened.first().toLocalFile();
        // The photo itself, or (where no viewer is associated) its folder.
        QVERIFY2(local == photo || local == dir.path(), qPrintable(local));
        QVERIFY(!QFile::exists(dir.filePath("pwned")));
        QVERIFY(!QFile::exists(QDir::current().filePath("pwned")));
    }

    // A missing photo (error 53) goes to the file manager first; only where nothing can show
    // its place does the error report come.
    void photoClickOnAMissingPhoto_data()
    {
        QTest::addColumn<bool>("folderToo");
        QTest::newRow("its folder is shown") << false;
        QTest::newRow("folder gone too: error report") << true;
    }
    void photoClickOnAMissingPhoto()
    {
        QFETCH(bool, folderToo);
        QTemporaryDir dir;
        const QString folder = dir.filePath("Urlaub");
        QVERIFY(QDir().mkpath(folder));
        const QString photo = folder + "/click.jpg";
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        f.ini->setValue("Options/TXTcheck", "1");
        f.load(photo);
        QVERIFY(f.settle());
        UrlCatcher catcher;
        if (folderToo)
            QVERIFY(QDir(folder).removeRecursively());
        else
            QFile::remove(photo);
        BoxWatcher boxes;
        QTest::mouseClick(child<QLabel>(f.window, "imgFoto"), Qt::LeftButton);
        if (folderToo) {
            QTRY_COMPARE_WITH_TIMEOUT(boxes.titles, QStringList{"frmExiftool_imgFoto_Click"}, 30000);
            QVERIFY(boxes.texts.first().startsWith("53 "));
            QVERIFY(catcher.opened.isEmpty());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(folder)}, 30000);
            QVERIFY(boxes.titles.isEmpty());
        }
        f.window.close();
    }

    void menus()
    {
        QTemporaryDir dir;
        ShownWindow f(dir);
        f.load();
        QStringList captions;
        for (QAction *a : child<QMenu>(f.window, "mnuHelp")->actions())
            if (a->isVisible())
                captions << a->text();
        QCOMPARE(captions, (QStringList{"Info", "Website", "Donation", "License of us", "Update Lumoskop",
                                        "Send problem report"}));
        QVERIFY(!child<QAction>(f.window, "mnuUpdateExiftool")->isVisible());
        QVERIFY(!child<QAction>(f.window, "mnuUpdateExiftool")->isEnabled());

        // The version notice, then the download page, however the box was closed.
        UrlCatcher catcher;
        {
            BoxWatcher boxes{QString()};
            f.trigger("mnuUpdate");
            QCOMPARE(boxes.titles, QStringList{"Programminformationen"});
            QCOMPARE(boxes.texts, QStringList{QString("Your Version: ") + LumoskopVersion::Text});
        }
        f.ini->setValue("Options/Update", "https://downloads.example.org/lumoskop");
        {
            BoxWatcher boxes("Ok");
            f.trigger("mnuUpdate");
        }
        QCOMPARE(catcher.opened.size(), 2);
        QCOMPARE(catcher.opened.at(0).host(), QString("lumoskop.qwerin.de"));
        QCOMPARE(catcher.opened.at(1), QUrl("https://downloads.example.org/lumoskop"));

        // Info: the about window, modal, with the stored program name.
        QString programLine;
        onModal([&](QWidget *modal) {
            if (auto *info = qobject_cast<frmInfo *>(modal))
                programLine = info->creditLines().value(5);
            modal->close();
        });
        f.trigger("mnuInfo");
        QCOMPARE(programLine, QString("L u m o s k o p"));
        f.window.close();
    }
};

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
