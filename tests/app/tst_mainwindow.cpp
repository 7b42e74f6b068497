#include "Files.h"
#include "start/SettingsStore.h"
#include "app/frmExifTool.h"
#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "dialogs/frmMsgTamu.h"
#include "fixture_window.h"
#include "pipeline/ReportListModel.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeView>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

// Calls back on the first paint of a widget.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *widget, std::function<void()> painted) : m_painted(std::move(painted))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_painted) {
            std::exchange(m_painted, nullptr)();
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    std::function<void()> m_painted;
};

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
        QTest::newRow("en") << "en"
                            << "Make";
    }
    void wholeRoadInGermanAndEnglish()
    {
        QFETCH(QString, lang);
        QFETCH(QString, makerName);
        QTemporaryDir dir;
        const QString photo = dir.filePath("Bild 1.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        f.ini->setValue("Options/LumoskopSprache", lang);
        BoxWatcher boxes;
        {
            f.load(photo);
            QVERIFY(f.settle());
            const QString report = dir.filePath("Bild 1.txt");
            QVERIFY(QFile::exists(report));

            // Every line of the report is one row: name before the first colon, value after it.
            const QStringList lines = QString::fromUtf8(Files::read(report))
                                          .remove(QLatin1Char('\r'))
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            const ReportRows rows = f.model()->reportRows();
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
            QCOMPARE(f.label(5), QString("Canon Canon EOS 5D Mark IV"));
            QCOMPARE(f.label(1), QString("1/250 sec"));
            QCOMPARE(f.label(0), QString("f/8.0"));
            QCOMPARE(f.label(3), QString("200"));
            QVERIFY(f.label(2).startsWith("24.0 mm"));
            QVERIFY(!child<QLabel>(f.window, "imgFoto")->pixmap().isNull());
            // A fresh store opens the list at the Exif group.
            QVERIFY(f.groupButton(2)->isChecked());
            f.window.close();
            QVERIFY(!QFile::exists(report)); // "TXT save" is off
        }
        QVERIFY(boxes.titles.isEmpty());
        QCOMPARE(f.ini->value("Options/ProgrammName").toString(), QString("L u m o s k o p"));
        QCOMPARE(f.ini->value("Options/ErscheinungsJahr").toString(), QString("2023"));
        for (const char *key :
             {"ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth", "1ExiftoolHeader", "2ExiftoolHeader"})
            QVERIFY2(f.ini->contains(QString("Options/") + key), key);
        QCOMPARE(f.ini->value("Options/1ExiftoolHeader").toString(), QString("2000"));
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
        ShownWindow f(dir);
        f.load(a);
        QVERIFY(f.settle());
        auto *path = f.window.findChild<CaptionedTextBox *>("txtBildpfad");
        QVERIFY(path);
        path->setText(b);
        f.trigger("actExifTool");
        QVERIFY(f.settle());
        QVERIFY(!QFile::exists(dir.filePath("A.txt")));
        QVERIFY(QFile::exists(dir.filePath("B.txt")));
        QVERIFY(!child<QLabel>(f.window, "imgFoto")->pixmap().isNull());

        // "Show" for the photo shown, whose report has gone: only the list empties.
        QVERIFY(QFile::remove(dir.filePath("B.txt")));
        f.groupButton(1)->click();
        f.trigger("actShow");
        QCOMPARE(f.rows(), 0);
        QCOMPARE(f.label(5), QString("Canon Canon EOS 5D Mark IV"));
        QVERIFY(!child<QLabel>(f.window, "imgFoto")->pixmap().isNull());
        QVERIFY(f.groupButton(1)->isChecked());
        QVERIFY(TestPhotos::writeReport(b, "en"));

        // "Show" for a typed photo without a report: everything describes that photo, so
        // nothing is shown at all.
        path->setText(c);
        f.trigger("actShow");
        QVERIFY(!QFile::exists(dir.filePath("B.txt")));
        QCOMPARE(f.rows(), 0);
        QCOMPARE(f.label(5), QString());
        QVERIFY(child<QLabel>(f.window, "imgFoto")->pixmap().isNull());
        f.window.close();
        QCOMPARE(QDir(dir.path()).entryList({"*.txt"}), QStringList());
    }

    void failuresAreReportedNamingThePhoto()
    {
        QTemporaryDir dir;
        ShownWindow f(dir);
        const QString missing = dir.filePath("gone.jpg");
        FakeExifTool fake;
        BoxWatcher boxes;
        f.service.setKeepRunning(false); // the fake counts ExifTool starts
        f.load(missing);
        QVERIFY(f.settle());
        QCOMPARE(f.rows(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 1, 30000);
        QVERIFY(boxes.texts.first().contains("gone.jpg"));
        f.window.close();
    }

    // A report that is in before the window shows (a quick keeper's) comes with the window's
    // first paint; one still being made never holds the window up.
    void firstPaintShowsAReportThatIsIn_data()
    {
        QTest::addColumn<bool>("reportIn");
        QTest::newRow("in") << true;
        QTest::newRow("still being made") << false;
    }
    void firstPaintShowsAReportThatIsIn()
    {
        QFETCH(bool, reportIn);
        QTemporaryDir dir;
        const QString photo = dir.filePath("Bild.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        FakeExifTool fake(reportIn ? 0 : 600);
        f.browser.readCommandLine(photo);
        if (reportIn)
            QTRY_VERIFY_WITH_TIMEOUT(f.browser.commandLineReportReady(), 30000);
        int rowsAtFirstPaint = -1;
        QWidget *list = child<QTreeView>(f.window, "lvwExifTool")->viewport();
        FirstPaint watch(list, [&] { rowsAtFirstPaint = f.rows(); });
        f.window.Form_Load();
        QTRY_VERIFY(rowsAtFirstPaint >= 0);
        QCOMPARE(rowsAtFirstPaint > 0, reportIn);
    }

    // A notice waits for the user in a box of its own, shown after the step that raised it: the
    // result that arrives meanwhile (the English listing a Japanese report waits for) is
    // handled once, in its turn, and the list and panel are whole while the box is still open.
    void resultWhileANoticeIsOpenIsHandledOnce()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("Bild.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        f.ini->setValue("Options/LumoskopSprache", "ja");
        f.ini->setValue("Options/ExiftoolCheck", "1");
        FakeExifTool fake;
        // No terminal emulator: "ExifTool show" runs hidden and says so.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        QSignalSpy shown(&f.browser, &PhotoBrowser::shown);
        // Connected after the program's own receivers: it hears a result only once the road
        // has handled it.
        QSignalSpy results(&f.service, &ExifToolService::finished);
        int boxes = 0, rowsWhileOpen = -1, shownWhenOpened = -1, resultsWhenOpened = -1;
        QString cameraWhileOpen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            frmMsgTamu *box = frmMsgTamu::current();
            if (!box || !box->isVisible() || box->isAnswered())
                return;
            if (shownWhenOpened < 0) {
                ++boxes;
                shownWhenOpened = int(shown.size());
                resultsWhenOpened = int(results.size());
            }
            if (shown.isEmpty())
                return; // the box waits, and the listing arrives meanwhile
            rowsWhileOpen = f.rows();
            cameraWhileOpen = f.label(5);
            box->cmdButton(0)->click();
        });
        watch.start(10);
        f.load(photo);
        const bool answered = QTest::qWaitFor([&] { return rowsWhileOpen >= 0; }, 60000);
        const bool settled = f.settle();
        qputenv("PATH", path);
        QVERIFY(answered && settled);
        // Opened after the handler of the report's result had returned, before the listing came.
        QCOMPARE(resultsWhenOpened, 1);
        QCOMPARE(shownWhenOpened, 0);
        QCOMPARE(boxes, 1);
        QCOMPARE(shown.size(), 1);
        QVERIFY(rowsWhileOpen > 10);
        QCOMPARE(cameraWhileOpen, QString("Canon Canon EOS 5D Mark IV"));
    }

    void tooShortArgumentGetsTheErrorReport()
    {
        QTemporaryDir dir;
        ShownWindow f(dir);
        FakeExifTool fake;
        BoxWatcher boxes;
        f.service.setKeepRunning(false); // the fake counts ExifTool starts
        f.load("\"ab\"");
        QCOMPARE(f.path(), QString("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(boxes.titles, QStringList{"frmExifTool_CommandAbfrage"}, 30000);
        QCOMPARE(boxes.texts, QStringList{"5 Invalid procedure call or argument"});
        QVERIFY(fake.calls().isEmpty());
        f.window.close();
    }

    void sortStateMachine()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("sort.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        f.load(photo);
        QVERIFY(f.settle());
        ReportListModel *m = f.model();
        const ReportRows reportOrder = m->rowsInListOrder();

        f.clickHeader(1); // the "Value" header sorts by name too
        QVERIFY(child<QCheckBox>(f.window, "chkSort")->isChecked());
        QCOMPARE(f.ini->value("Options/ExiftoolSort").toString(), QString("1"));
        QCOMPARE(m->sortOrder(), Qt::DescendingOrder);
        QCOMPARE(m->headerIcon(), ReportListModel::TriangleUp);
        const ReportRows desc = m->rowsInListOrder();
        for (int i = 1; i < desc.size(); ++i)
            QVERIFY(desc[i - 1].name.compare(desc[i].name, Qt::CaseInsensitive) >= 0);

        f.clickHeader(0);
        QCOMPARE(m->sortOrder(), Qt::AscendingOrder);
        QCOMPARE(m->headerIcon(), ReportListModel::TriangleDown);
        f.clickHeader(0);
        QCOMPARE(m->sortOrder(), Qt::DescendingOrder);

        child<QCheckBox>(f.window, "chkSort")->setChecked(false);
        QCOMPARE(m->headerIcon(), ReportListModel::NoIcon);
        QCOMPARE(f.ini->value("Options/ExiftoolSort").toString(), QString("0"));
        const ReportRows back = m->rowsInListOrder();
        QCOMPARE(back.size(), reportOrder.size());
        for (int i = 0; i < back.size(); ++i)
            QCOMPARE(back[i].value, reportOrder[i].value);

        // Checking the box after a descending sort keeps that order but shows the down icon.
        child<QCheckBox>(f.window, "chkSort")->setChecked(true);
        QCOMPARE(m->sortOrder(), Qt::DescendingOrder);
        QCOMPARE(m->headerIcon(), ReportListModel::TriangleDown);
        f.window.close();
    }

    void groupJumpsStoreOnlyWhatTheyFound()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("groups.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo)); // no IPTC in it
        ShownWindow f(dir);
        f.load(photo);
        QVERIFY(f.settle());
        QCOMPARE(f.ini->value("Options/optExif", "2").toString(), QString("2"));
        f.groupButton(4)->click();
        QCOMPARE(f.ini->value("Options/optExif").toString(), QString("2"));
        f.groupButton(1)->click();
        QCOMPARE(f.ini->value("Options/optExif").toString(), QString("1"));
        f.groupButton(0)->click();
        QCOMPARE(f.ini->value("Options/optExif").toString(), QString("0"));
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->selectionModel()->selectedRows().first().row(), 0);
        f.window.close();
    }

    void languageRunsExifToolAgainAndIsStored()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("plain.jpg");
        QVERIFY(TestPhotos::makeJpeg(photo));
        QVERIFY(TestPhotos::writeTags(photo, {"-Make=Nikon", "-Model=D850", "-WhiteBalance#=1"}));
        ShownWindow f(dir);
        f.load(photo);
        QVERIFY(f.settle());
        QCOMPARE(f.label(10), QString("Manual"));
        auto *box = child<QComboBox>(f.window, "cboSprache");
        QCOMPARE(box->currentIndex(), 1); // the list opens on "en", the code shown

        // Typing runs nothing and stores nothing, whatever key ends it; "ExifTool" then uses it.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "de");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
        QVERIFY(!f.service.isBusy());
        QCOMPARE(f.label(10), QString("Manual"));
        QVERIFY(!f.ini->contains("Options/LumoskopSprache"));
        f.trigger("actExifTool");
        QVERIFY(f.settle());
        QCOMPARE(f.label(10), QString("Manuell"));
        QVERIFY(!f.ini->contains("Options/LumoskopSprache"));

        // Picking from the list runs ExifTool in that language and stores it.
        f.pickLanguage("fr");
        QCOMPARE(f.label(10), QString()); // emptied with the list until the new report
        QVERIFY(f.settle());
        QCOMPARE(f.label(10), QString("Manuelle"));
        QCOMPARE(f.label(5), QString("Nikon D850"));
        QCOMPARE(f.ini->value("Options/LumoskopSprache").toString(), QString("fr"));
        f.window.close();
    }

    void controlsFollowTheWindowsSize()
    {
        QTemporaryDir dir;
        ShownWindow f(dir);
        f.load();
        const QPoint buttons = f.window.findChild<QWidget *>("cmdAnzeigen")->pos();
        f.window.resize(5000 / 15, f.window.height() + 100);
        QTRY_COMPARE(f.window.centralWidget()->width(), 5000 / 15);
        const int W = 5000, H = f.window.centralWidget()->height() * 15;
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->width(), (W - 300) / 15);
        QCOMPARE(f.window.findChild<QWidget *>("fraKamera")->width(), (W - 300) / 15);
        QCOMPARE(f.window.findChild<QWidget *>("cmdDatei")->x(), (W - 390 - 150) / 15);
        QCOMPARE(f.window.findChild<QWidget *>("txtBildpfad")->width(), (W - 390 - 150 - 250) / 15);
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->height(), (H - 5700 - 100) / 15);
        QCOMPARE(f.window.findChild<QWidget *>("cmdAnzeigen")->pos(), buttons); // the rest stays
        f.window.close();
    }

    void settingsThatDoNotConvertAreSkippedOneByOne()
    {
        QTemporaryDir dir;
        ShownWindow f(dir);
        f.ini->setValue("Options/ExiftoolTop", "abc");
        f.ini->setValue("Options/ExiftoolLeft", "-30000");
        f.ini->setValue("Options/ExiftoolWidth", "1e30");
        f.ini->setValue("Options/ProgSchriftSize", "abc");
        f.ini->setValue("Options/ProgSchriftName", "DejaVu Sans");
        f.ini->setValue("Options/ExiftoolCheck", "7");
        f.ini->setValue("Options/TXTcheck", "1");
        f.ini->setValue("Options/1ExiftoolHeader", "wide");
        f.ini->setValue("Options/2ExiftoolHeader", "3000");
        f.load();
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->font().family(), QString("DejaVu Sans"));
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->font().pointSizeF(), 9.75);
        QVERIFY(!child<QCheckBox>(f.window, "chkExiftool")->isChecked());
        QVERIFY(child<QCheckBox>(f.window, "chkTXT")->isChecked());
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->header()->sectionSize(0), 4000 / 15);
        QCOMPARE(child<QTreeView>(f.window, "lvwExifTool")->header()->sectionSize(1), 3000 / 15);
        QCOMPARE(child<QComboBox>(f.window, "cboSprache")->currentText(), QString("en"));
        QCOMPARE(f.rows(), 0);
        f.window.close();
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
