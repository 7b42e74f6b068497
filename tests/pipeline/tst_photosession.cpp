#include "FakeExifTool.h"
#include "Files.h"
#include "TestPhotos.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoSession.h"
#include "pipeline/ReportListModel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
// Every file below the folder with its bytes: what the user would find there.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        files.insert(name, Files::read(folder + QLatin1Char('/') + name));
    return files;
}

bool hasValue(const ReportListModel &model, const QString &value)
{
    for (const ReportRow &row : model.reportRows())
        if (row.value.trimmed() == value)
            return true;
    return false;
}

// One session over a real service, as the window holds them, with what it told the user.
struct Road {
    ExifToolService service;
    ReportListModel model;
    PhotoSession session{service, model};
    QStringList notices;
    QStringList failures;
    Road()
    {
        QObject::connect(&session, &PhotoSession::problem, [this](const QString &text, int style) {
            (style == 4 ? failures : notices) << text;
        });
    }
    bool settle() { return QTest::qWaitFor([this] { return !session.isBusy(); }, 30000); }
};
} // namespace

// The road of one photo without a window: every report belongs to the photo it was made for,
// and a file that is not the photo's report is never touched, yet the photo is still shown.
class TestPhotoSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!TestPhotos::exiftool().isEmpty(), "ExifTool must be installed"); }

    void theReportDeletedIsThePhotoShowns()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("A.jpg"), b = dir.filePath("B.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(a));
        QVERIFY(TestPhotos::makeCameraPhoto(b));
        Road road;
        QSignalSpy changed(&road.session, &PhotoSession::photoChanged);
        road.session.open(a);
        QVERIFY(road.settle());
        QVERIFY(QFile::exists(dir.filePath("A.txt")));
        QCOMPARE(road.session.origin(), PhotoSession::Origin::Ours);
        // "ExifTool" pressed with another photo typed into the path box.
        road.session.runExifTool(b);
        QVERIFY(road.settle());
        QVERIFY(!QFile::exists(dir.filePath("A.txt")));
        QCOMPARE(road.session.reportPath(), dir.filePath("B.txt"));
        QCOMPARE(changed.size(), 2);
        QVERIFY(road.model.rowCount() > 10);
        road.session.close();
        QVERIFY(!QFile::exists(dir.filePath("B.txt")));
        QVERIFY(road.failures.isEmpty() && road.notices.isEmpty());
    }

    void keptReportOlderThanThePhotoIsMadeAgain_data()
    {
        QTest::addColumn<bool>("photoChangedSince");
        QTest::newRow("fresh") << false;
        QTest::newRow("photo changed since") << true;
    }
    void keptReportOlderThanThePhotoIsMadeAgain()
    {
        QFETCH(bool, photoChangedSince);
        QTemporaryDir dir;
        const QString photo = dir.filePath("IMG_0001.jpg"), report = dir.filePath("IMG_0001.txt");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        QVERIFY(TestPhotos::writeReport(photo, "en"));
        QVERIFY(TestPhotos::writeTags(photo, {"-Artist=Neu"}));
        // The photo changed after the report was made, or the report is the newer one.
        const QDateTime photoTime = QFileInfo(photo).lastModified();
        QFile r(report);
        QVERIFY(r.open(QIODevice::ReadWrite));
        QVERIFY(r.setFileTime(photoTime.addSecs(photoChangedSince ? -60 : 60), QFileDevice::FileModificationTime));
        r.close();

        FakeExifTool fake;
        Road road;
        road.service.setKeepRunning(false); // the fake counts ExifTool starts
        road.session.setKeepReports(true);
        road.session.open(photo);
        QVERIFY(road.settle());
        QCOMPARE(fake.calls().size(), photoChangedSince ? 1 : 0);
        QCOMPARE(hasValue(road.model, "Neu"), photoChangedSince);
        QCOMPARE(road.session.origin(),
                 photoChangedSince ? PhotoSession::Origin::Ours : PhotoSession::Origin::KeptBefore);
        road.session.close();
        QVERIFY(QFile::exists(report)); // "TXT save" keeps either
    }

    void whatStandsAtTheReportPathIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("keep");
        for (const char *kind : {"user's notes", "photo named .txt", "another photo's report", "read-only folder"}) {
            QTest::addRow("%s", kind) << QString::fromLatin1(kind) << false;
            QTest::addRow("%s, TXT save", kind) << QString::fromLatin1(kind) << true;
        }
    }
    void whatStandsAtTheReportPathIsLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(bool, keep);
        QTemporaryDir dir;
        QString photo = dir.filePath("Bild.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        if (kind == "user's notes") {
            QVERIFY(Files::write(dir.filePath("Bild.txt"), "Meine Notizen: Urlaub am Meer\n"));
        } else if (kind == "photo named .txt") {
            QVERIFY(QFile::rename(photo, dir.filePath("Bild.txt")));
            photo = dir.filePath("Bild.txt");
        } else if (kind == "another photo's report") {
            QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(dir.filePath("Bild.png")));
            QVERIFY(TestPhotos::writeReport(dir.filePath("Bild.png"), "en"));
        }
        // Root writes through permission bits; an immutable folder refuses even root.
        struct Immutable {
            QString folder;
            bool set = false;
            ~Immutable()
            {
                if (set)
                    QProcess::execute("chattr", {"-i", folder});
            }
        } immutable{dir.path()};
        if (kind == "read-only folder") {
            immutable.set = QProcess::execute("chattr", {"+i", dir.path()}) == 0;
            if (!immutable.set)
                QSKIP("this file system cannot make a folder read-only for root");
        }
        const QMap<QString, QByteArray> before = contents(dir.path());

        Road road;
        road.session.setKeepReports(keep);
        road.session.open(photo);
        QVERIFY(road.settle());
        QVERIFY(road.failures.isEmpty());
        QVERIFY(road.model.rowCount() > 10);
        QCOMPARE(road.session.origin(), PhotoSession::Origin::Private);
        QVERIFY(hasValue(road.model, QFileInfo(photo).fileName()));
        const QString privateReport = road.session.reportPath();
        QVERIFY(privateReport.startsWith(road.session.privateFolder()));
        QCOMPARE(contents(dir.path()), before);

        // The user's own file is always named; "TXT save" is told it cannot work here.
        const bool usersFile = kind == "user's notes";
        QCOMPARE(road.notices.size(), usersFile || keep ? 1 : 0);
        if (!road.notices.isEmpty()) {
            QCOMPARE(road.notices.first().contains("TXT save"), keep);
            if (usersFile)
                QVERIFY(road.notices.first().contains(dir.filePath("Bild.txt")));
        }
        road.session.showReport(photo); // "Show" reads the private report again
        QVERIFY(road.model.rowCount() > 10);
        road.session.close();
        QVERIFY(!QFile::exists(privateReport));
        QCOMPARE(contents(dir.path()), before);
    }

    void chineseReachesExifToolAsItKnowsIt()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("zh.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        Road road;
        road.session.changeLanguage("zh", photo);
        QVERIFY(road.settle());
        QVERIFY(road.failures.isEmpty());
        QVERIFY(road.model.rowCount() > 10);
        QCOMPARE(road.session.language(), QString("zh"));
    }

    void resultsForPhotosLeftAreDropped()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.jpg"), b = dir.filePath("b.jpg"), c = dir.filePath("c.jpg");
        for (const QString &p : {a, b, c})
            QVERIFY(TestPhotos::makeCameraPhoto(p));
        // a's run lasts until it is ended, so that b and c always come while it runs.
        FakeExifTool fake(0.4, QStringLiteral("case \"$*\" in */a.jpg) sleep 600 ;; esac"));
        Road road;
        road.service.setKeepRunning(false); // the fake counts ExifTool starts
        QSignalSpy loaded(&road.session, &PhotoSession::reportLoaded);
        road.session.open(a);
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
        QVERIFY(road.session.isBusy());
        road.session.open(b); // a is ended unfinished, b queued and dropped at once
        road.session.open(c);
        QVERIFY(road.settle());
        QVERIFY(QTest::qWaitFor([&] { return road.service.pending().isEmpty(); }, 30000));
        QCOMPARE(loaded.size(), 1);
        QVERIFY(hasValue(road.model, "c.jpg"));
        QVERIFY(!fake.overlapped());
        QCOMPARE(fake.calls().size(), 2); // a and c; b never started
        QVERIFY(!QFile::exists(dir.filePath("a.txt")));
        QVERIFY(!QFile::exists(dir.filePath("b.txt")));
        road.session.close();
        QVERIFY(!QFile::exists(dir.filePath("c.txt")));
    }

    void closingDuringARunLeavesNoReport()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("slow.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        FakeExifTool fake(0.6);
        {
            Road road;
            road.service.setKeepRunning(false);
            road.session.open(photo);
            QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
            QVERIFY(road.session.isBusy());
        }
        // Ended, not left to finish: nothing can write the report any more.
        QTRY_VERIFY_WITH_TIMEOUT(!fake.anyRunning(), 30000);
        QVERIFY(!QFile::exists(dir.filePath("slow.txt")));
    }

    void showWithoutATerminalSaysSoOnce()
    {
        // No terminal emulator on the search path: ExifTool runs hidden, and the user hears why
        // "ExifTool show" showed nothing, once.
        QTemporaryDir dir;
        const QString a = dir.filePath("a.jpg"), b = dir.filePath("b.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(a));
        QVERIFY(TestPhotos::makeCameraPhoto(b));
        FakeExifTool fake;
        const QByteArray path = qgetenv("PATH");
        // a runs one-shot while the kept ExifTool starts, b through the kept one: both say it.
        qputenv("PATH", QFile::encodeName(dir.path()));
        Road road;
        road.session.setShowExifTool(true);
        road.session.open(a);
        const bool settled = road.settle();
        road.session.open(b);
        const bool settledAgain = road.settle();
        qputenv("PATH", path);
        QVERIFY(settled && settledAgain);
        QVERIFY(road.model.rowCount() > 10);
        QCOMPARE(road.notices.size(), 1);
        QVERIFY(road.notices.first().contains("terminal"));
        QVERIFY(!fake.calls().first().split(' ').contains("-k")); // nobody could press its key
    }

    void aConsoleLeftOpenHoldsNothingUp()
    {
        // "ExifTool show": the console of a photo left behind stays open for the user, the
        // next photo runs at once, and the report that console wrote goes once it is closed.
        QTemporaryDir dir;
        const QString a = dir.filePath("a.jpg"), b = dir.filePath("b.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(a));
        QVERIFY(TestPhotos::makeCameraPhoto(b));
        FakeExifTool fake;
        QVERIFY(Files::writeScript(dir.filePath("x-terminal-emulator"),
                                   "echo $$ > \"${0%/*}/console\"\n[ \"$1\" = -e ] && shift\n\"$@\" </dev/null\n"
                                   "while [ ! -f \"${0%/*}/closed\" ]; do sleep 0.05; done\n"));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + path);
        Road road;
        road.service.setKeepRunning(false);
        road.session.setShowExifTool(true);
        road.session.open(a);
        const bool written = QTest::qWaitFor([&] { return QFile::exists(dir.filePath("a.txt")); }, 30000);
        road.session.setShowExifTool(false);
        road.session.open(b);
        const bool settled = road.settle();
        qputenv("PATH", path);
        QVERIFY(written && settled);
        QVERIFY(hasValue(road.model, "b.jpg"));
        QVERIFY(QFile::exists(QString("/proc/%1").arg(QString(Files::read(dir.filePath("console"))).trimmed())));
        QVERIFY(Files::write(dir.filePath("closed"), ""));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(dir.filePath("a.txt")), 30000);
        QVERIFY(hasValue(road.model, "b.jpg"));
        QVERIFY(road.failures.isEmpty());
        road.session.close();
        QVERIFY(!QFile::exists(dir.filePath("b.txt")));
    }

    void failedRunNamesThePhotoAndEmptiesTheList()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("there.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        Road road;
        road.session.open(photo);
        QVERIFY(road.settle());
        QVERIFY(road.model.rowCount() > 0);
        QVERIFY(QFile::remove(photo));
        QSignalSpy cleared(&road.session, &PhotoSession::reportCleared);
        road.session.runExifTool(photo);
        QVERIFY(road.settle());
        QCOMPARE(road.model.rowCount(), 0);
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(road.failures.size(), 1);
        QVERIFY(road.failures.first().contains(photo));
    }
};

QTEST_GUILESS_MAIN(TestPhotoSession)
#include "tst_photosession.moc"
