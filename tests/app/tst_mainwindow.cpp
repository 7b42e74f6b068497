#include "app/SettingsStore.h"
#include "app/frmExifTool.h"
#include "controls/CaptionedTextBox.h"
#include "Files.h"
#include "fixture_window.h"
#include "pipeline/PhotoSession.h"
#include "app/CameraPanel.h"
#include "pipeline/ReportListModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest>


// The main window driven as a user drives it, with the real ExifTool on photos the test makes.
class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!TestPhotos::exiftool().isEmpty(), "ExifTool must be installed"); }

    void wholeRoadInGermanAndEnglish_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("makerName");
        QTest::newRow("de") << "de" << QString::fromUtf8("Gerätehersteller");
        QTest::newRow("en") << "en" << "Make";
    }
    void wholeRoadInGermanAndEnglish()
    {
        QFETCH(QString, lang);
        QFETCH(QString, makerName);
        QTemporaryDir dir;
        const QString photo = dir.filePath("Bild 1.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        auto ini = freshSettings(dir);
        ini->setValue("Options/LumoskopSprache", lang);
        BoxWatcher boxes;
        {
            frmExifTool w(ini.get());
            w.Form_Load(photo);
            QVERIFY(settle(w));
            const QString report = dir.filePath("Bild 1.txt");
            QCOMPARE(w.session().reportPath(), report);
            QVERIFY(QFile::exists(report));

            // Every line of the report is one row: name before the first colon, value after it.
            const QStringList lines =
                QString::fromUtf8(Files::read(report)).remove(QLatin1Char('\r')).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            const ReportRows rows = w.listModel()->reportRows();
            QCOMPARE(rows.size(), lines.size());
            QString carried;
            bool makerBold = false;
            for (int i = 0; i < lines.size(); ++i) {
                const int colon = lines[i].indexOf(QLatin1Char(':'));
                if (colon >= 0)
                    carried = lines[i].left(colon);
                QCOMPARE(rows[i].name, carried);
                QCOMPARE(rows[i].value, colon >= 0 ? lines[i].mid(colon + 1) : lines[i]);
                if (rows[i].name.trimmed() == makerName)
                    makerBold = rows[i].bold;
            }
            QVERIFY(makerBold);
            QCOMPARE(w.cameraPanel()->labelText(5), QString("Canon Canon EOS 5D Mark IV"));
            QCOMPARE(w.cameraPanel()->labelText(1), QString("1/250 sec"));
            QCOMPARE(w.cameraPanel()->labelText(0), QString("f/8.0"));
            QCOMPARE(w.cameraPanel()->labelText(3), QString("200"));
            QVERIFY(w.cameraPanel()->labelText(2).startsWith("24.0 mm"));
            QVERIFY(!child<QLabel>(w, "imgFoto")->pixmap().isNull());
            // A fresh store opens the list at the Exif group.
            QVERIFY(groupButton(w, 2)->isChecked());
            w.close();
            QVERIFY(!QFile::exists(report)); // "TXT save" is off
        }
        QVERIFY(boxes.titles.isEmpty());
        QCOMPARE(ini->value("Options/ProgrammName").toString(), QString("L u m o s k o p"));
        QCOMPARE(ini->value("Options/ErscheinungsJahr").toString(), QString("2023"));
        for (const char *key : {"ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth", "1ExiftoolHeader",
                                "2ExiftoolHeader"})
            QVERIFY2(ini->contains(QString("Options/") + key), key);
        QCOMPARE(ini->value("Options/1ExiftoolHeader").toString(), QString("2000"));
    }

    void keptReportIsShownWithoutRunningExifTool()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("IMG_0001.JPG");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        auto ini = freshSettings(dir);
        ini->setValue("Options/TXTcheck", "1");
        FakeExifTool fake;
        {
            frmExifTool w(ini.get());
            w.setKeepExifToolRunning(false); // the fake counts ExifTool starts
            w.Form_Load(photo);
            QVERIFY(settle(w));
            QVERIFY(child<QCheckBox>(w, "chkTXT")->isChecked());
            QCOMPARE(fake.calls().size(), 1);
            w.close();
        }
        QVERIFY(QFile::exists(dir.filePath("IMG_0001.txt")));
        frmExifTool again(ini.get());
        again.setKeepExifToolRunning(false); // the fake counts ExifTool starts
        again.Form_Load(photo);
        QVERIFY(settle(again));
        QCOMPARE(fake.calls().size(), 1);
        QVERIFY(again.listModel()->rowCount() > 10);
        again.close();
        QVERIFY(QFile::exists(dir.filePath("IMG_0001.txt")));
    }

    // The path box may be edited at any time; what is deleted is the report of the photo that
    // was shown, and list, panel and thumbnail always describe one photo.
    void typedPathLeavesNoReportBehind()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("A.jpg"), b = dir.filePath("B.jpg"), c = dir.filePath("C.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(a));
        QVERIFY(TestPhotos::makeCameraPhoto(b));
        QVERIFY(TestPhotos::makeCameraPhoto(c));
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(a);
        QVERIFY(settle(w));
        auto *path = w.findChild<CaptionedTextBox *>("txtBildpfad");
        QVERIFY(path);
        path->setText(b);
        w.cmdExif_Click();
        QVERIFY(settle(w));
        QVERIFY(!QFile::exists(dir.filePath("A.txt")));
        QVERIFY(QFile::exists(dir.filePath("B.txt")));
        QVERIFY(!child<QLabel>(w, "imgFoto")->pixmap().isNull());

        // "Show" for the photo shown, whose report has gone: only the list empties.
        QVERIFY(QFile::remove(dir.filePath("B.txt")));
        groupButton(w, 1)->click();
        w.cmdAnzeigen_Click();
        QCOMPARE(w.listModel()->rowCount(), 0);
        QCOMPARE(w.cameraPanel()->labelText(5), QString("Canon Canon EOS 5D Mark IV"));
        QVERIFY(!child<QLabel>(w, "imgFoto")->pixmap().isNull());
        QVERIFY(groupButton(w, 1)->isChecked());
        QVERIFY(TestPhotos::writeReport(b, "en"));

        // "Show" for a typed photo without a report: everything describes that photo, so
        // nothing is shown at all.
        path->setText(c);
        w.cmdAnzeigen_Click();
        QVERIFY(!QFile::exists(dir.filePath("B.txt")));
        QCOMPARE(w.listModel()->rowCount(), 0);
        QCOMPARE(w.cameraPanel()->labelText(5), QString());
        QVERIFY(child<QLabel>(w, "imgFoto")->pixmap().isNull());
        w.close();
        QCOMPARE(QDir(dir.path()).entryList({"*.txt"}), QStringList());
    }

    void commandsDuringARunReplaceIt()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.jpg"), b = dir.filePath("b.jpg"), c = dir.filePath("c.jpg");
        for (const QString &p : {a, b, c})
            QVERIFY(TestPhotos::makeCameraPhoto(p));
        auto ini = freshSettings(dir);
        // a's run lasts until it is ended, so the commands below always meet it.
        FakeExifTool fake(0.5, QStringLiteral("case \"$*\" in */a.jpg) sleep 600 ;; esac"));
        frmExifTool w(ini.get());
        w.setKeepExifToolRunning(false); // the fake counts ExifTool starts
        w.Form_Load(a);
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
        QVERIFY(w.isExifToolRunning());
        w.cmdExif_Click();
        w.takeOverPhoto(b);
        w.cmdAnzeigen_Click();
        child<QComboBox>(w, "cboSprache")->setEditText("de");
        w.cboSprache_Click();
        w.takeOverPhoto(c);
        QVERIFY(settle(w));
        QVERIFY(!fake.overlapped());
        QCOMPARE(fake.calls().size(), 2); // a, ended unfinished, and c; the rest never started
        QVERIFY(fake.calls().last().startsWith("-lang de"));
        QVERIFY(fake.calls().last().endsWith("c.jpg"));
        QCOMPARE(w.photoPath(), c);
        QVERIFY(!QFile::exists(dir.filePath("a.txt")));
        QVERIFY(!QFile::exists(dir.filePath("b.txt")));
        QVERIFY(QFile::exists(dir.filePath("c.txt")));
        w.close();
        QVERIFY(!QFile::exists(dir.filePath("c.txt")));
    }

    void closingDuringARunEndsExifTool()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("slow.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        auto ini = freshSettings(dir);
        FakeExifTool fake(1.0);
        {
            frmExifTool w(ini.get());
            w.setKeepExifToolRunning(false); // the fake counts ExifTool starts
            w.Form_Load(photo);
            QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
            w.close();
        }
        // Ended, not left to finish: nothing can write the report any more.
        QTRY_VERIFY_WITH_TIMEOUT(!fake.anyRunning(), 30000);
        QVERIFY(!QFile::exists(dir.filePath("slow.txt")));
    }

    void failuresAreReportedNamingThePhoto()
    {
        QTemporaryDir dir;
        auto ini = freshSettings(dir);
        const QString missing = dir.filePath("gone.jpg");
        FakeExifTool fake;
        BoxWatcher boxes;
        frmExifTool w(ini.get());
        w.setKeepExifToolRunning(false); // the fake counts ExifTool starts
        w.Form_Load(missing);
        QVERIFY(settle(w));
        QCOMPARE(w.listModel()->rowCount(), 0);
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts.first().contains("gone.jpg"));
        w.close();
    }

    void tooShortArgumentGetsTheErrorReport()
    {
        QTemporaryDir dir;
        auto ini = freshSettings(dir);
        FakeExifTool fake;
        BoxWatcher boxes;
        frmExifTool w(ini.get());
        w.setKeepExifToolRunning(false); // the fake counts ExifTool starts
        w.Form_Load("\"ab\"");
        QCOMPARE(w.photoPath(), QString("ab"));
        QCOMPARE(boxes.titles, QStringList{"frmExifTool_CommandAbfrage"});
        QCOMPARE(boxes.texts, QStringList{"5 Invalid procedure call or argument"});
        QVERIFY(fake.calls().isEmpty());
        w.close();
    }

    void sortStateMachine()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("sort.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(photo);
        QVERIFY(settle(w));
        ReportListModel *m = w.listModel();
        const ReportRows reportOrder = m->rowsInListOrder();

        w.lvwExifTool_ColumnClick(1); // the "Value" header sorts by name too
        QVERIFY(child<QCheckBox>(w, "chkSort")->isChecked());
        QCOMPARE(ini->value("Options/ExiftoolSort").toString(), QString("1"));
        QCOMPARE(m->sortOrder(), Qt::DescendingOrder);
        QCOMPARE(m->headerIcon(), ReportListModel::TriangleUp);
        const ReportRows desc = m->rowsInListOrder();
        for (int i = 1; i < desc.size(); ++i)
            QVERIFY(desc[i - 1].name.compare(desc[i].name, Qt::CaseInsensitive) >= 0);

        w.lvwExifTool_ColumnClick(0);
        QCOMPARE(m->sortOrder(), Qt::AscendingOrder);
        QCOMPARE(m->headerIcon(), ReportListModel::TriangleDown);
        w.lvwExifTool_ColumnClick(0);
        QCOMPARE(m->sortOrder(), Qt::DescendingOrder);

        child<QCheckBox>(w, "chkSort")->setChecked(false);
        QCOMPARE(m->headerIcon(), ReportListModel::NoIcon);
        QCOMPARE(ini->value("Options/ExiftoolSort").toString(), QString("0"));
        const ReportRows back = m->rowsInListOrder();
        QCOMPARE(back.size(), reportOrder.size());
        for (int i = 0; i < back.size(); ++i)
            QCOMPARE(back[i].value, reportOrder[i].value);

        // Checking the box after a descending sort keeps that order but shows the down icon.
        child<QCheckBox>(w, "chkSort")->setChecked(true);
        QCOMPARE(m->sortOrder(), Qt::DescendingOrder);
        QCOMPARE(m->headerIcon(), ReportListModel::TriangleDown);
        w.close();
    }

    void groupJumpsStoreOnlyWhatTheyFound()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("groups.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo)); // no IPTC in it
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(photo);
        QVERIFY(settle(w));
        QCOMPARE(ini->value("Options/optExif", "2").toString(), QString("2"));
        groupButton(w, 4)->click();
        QCOMPARE(ini->value("Options/optExif").toString(), QString("2"));
        groupButton(w, 1)->click();
        QCOMPARE(ini->value("Options/optExif").toString(), QString("1"));
        groupButton(w, 0)->click();
        QCOMPARE(ini->value("Options/optExif").toString(), QString("0"));
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->selectionModel()->selectedRows().first().row(), 0);
        w.close();
    }

    void languageRunsExifToolAgainAndIsStored()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("plain.jpg");
        QVERIFY(TestPhotos::makeJpeg(photo));
        QVERIFY(TestPhotos::writeTags(photo, {"-Make=Nikon", "-Model=D850", "-WhiteBalance#=1"}));
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(photo);
        QVERIFY(settle(w));
        QCOMPARE(w.cameraPanel()->labelText(10), QString("Manual"));
        auto *box = child<QComboBox>(w, "cboSprache");
        QCOMPARE(box->currentIndex(), 1); // the list opens on "en", the code shown

        // Typing runs nothing and stores nothing, whatever key ends it; "ExifTool" then uses it.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "de");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
        QVERIFY(!w.isExifToolRunning());
        QCOMPARE(w.cameraPanel()->labelText(10), QString("Manual"));
        QVERIFY(!ini->contains("Options/LumoskopSprache"));
        w.cmdExif_Click();
        QVERIFY(settle(w));
        QCOMPARE(w.cameraPanel()->labelText(10), QString("Manuell"));
        QVERIFY(!ini->contains("Options/LumoskopSprache"));

        // Picking from the list runs ExifTool in that language and stores it.
        box->showPopup();
        box->view()->setCurrentIndex(box->model()->index(int(LanguageBox::Codes.indexOf("fr")), 0));
        QTest::keyClick(box->view(), Qt::Key_Return);
        QCOMPARE(w.cameraPanel()->labelText(10), QString()); // emptied with the list until the new report
        QVERIFY(settle(w));
        QCOMPARE(w.cameraPanel()->labelText(10), QString("Manuelle"));
        QCOMPARE(w.cameraPanel()->labelText(5), QString("Nikon D850"));
        QCOMPARE(ini->value("Options/LumoskopSprache").toString(), QString("fr"));
        w.close();
    }

    void controlsFollowTheWindowsSize()
    {
        QTemporaryDir dir;
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(QString());
        const QPoint buttons = w.findChild<QWidget *>("cmdAnzeigen")->pos();
        w.resize(5000 / 15, w.height() + 100);
        QTRY_COMPARE(w.centralWidget()->width(), 5000 / 15);
        const int W = 5000, H = w.centralWidget()->height() * 15;
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->width(), (W - 300) / 15);
        QCOMPARE(w.findChild<QWidget *>("fraKamera")->width(), (W - 300) / 15);
        QCOMPARE(w.findChild<QWidget *>("cmdDatei")->x(), (W - 390 - 150) / 15);
        QCOMPARE(w.findChild<QWidget *>("txtBildpfad")->width(), (W - 390 - 150 - 250) / 15);
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->height(), (H - 5700 - 100) / 15);
        QCOMPARE(w.findChild<QWidget *>("cmdAnzeigen")->pos(), buttons); // the rest stays
        w.close();
    }

    void settingsThatDoNotConvertAreSkippedOneByOne()
    {
        QTemporaryDir dir;
        auto ini = freshSettings(dir);
        ini->setValue("Options/ExiftoolTop", "abc");
        ini->setValue("Options/ExiftoolLeft", "-30000");
        ini->setValue("Options/ExiftoolWidth", "1e30");
        ini->setValue("Options/ProgSchriftSize", "abc");
        ini->setValue("Options/ProgSchriftName", "DejaVu Sans");
        ini->setValue("Options/ExiftoolCheck", "7");
        ini->setValue("Options/TXTcheck", "1");
        ini->setValue("Options/1ExiftoolHeader", "wide");
        ini->setValue("Options/2ExiftoolHeader", "3000");
        frmExifTool w(ini.get());
        w.Form_Load(QString());
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->font().family(), QString("DejaVu Sans"));
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->font().pointSizeF(), 9.75);
        QVERIFY(!child<QCheckBox>(w, "chkExiftool")->isChecked());
        QVERIFY(child<QCheckBox>(w, "chkTXT")->isChecked());
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->header()->sectionSize(0), 4000 / 15);
        QCOMPARE(child<QTreeView>(w, "lvwExifTool")->header()->sectionSize(1), 3000 / 15);
        QCOMPARE(child<QComboBox>(w, "cboSprache")->currentText(), QString("en"));
        QCOMPARE(w.listModel()->rowCount(), 0);
        w.close();
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
