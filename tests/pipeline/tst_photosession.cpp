#include "FakeExifTool.h"
#include "Files.h"
#include "TestPhotos.h"
#include "pipeline/Ahead.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoSession.h"

#include <QDir>
#include <QDirIterator>
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

bool hasValue(const ReportRows &rows, const QString &value)
{
    for (const ReportRow &row : rows)
        if (row.value.trimmed() == value)
            return true;
    return false;
}

// One session over a real service with reports made ahead, as the photo browser holds them:
// the rows the list would show, and what the user was told.
struct Road {
    ExifToolService service;
    Ahead ahead{service};
    PhotoSession session{service};
    ReportRows rows;
    int reportsRead = 0;
    QStringList notices;
    QStringList failures;
    Road()
    {
        session.useAhead(&ahead);
        QObject::connect(&session, &PhotoSession::reportRead, [this](const ReportRows &read) {
            rows = read;
            ++reportsRead;
        });
        QObject::connect(&session, &PhotoSession::photoChanged, [this] { rows.clear(); });
        QObject::connect(&session, &PhotoSession::reportCleared, [this] { rows.clear(); });
        QObject::connect(&session, &PhotoSession::notice, [this](const Notice &notice) {
            (notice.kind == Notice::Kind::Error ? failures : notices) << notice.text;
        });
    }
    bool settle()
    {
        return QTest::qWaitFor([this] { return !session.isBusy(); }, 30000);
    }
};

// A runtime folder of the test's own, where private reports go.
struct RuntimeFolder {
    QTemporaryDir dir;
    QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path())); }
    ~RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", before); }
    // The reports in it, wherever below.
    QStringList reports() const
    {
        QStringList found;
        QDirIterator it(dir.path(), {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }
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
        // "ExifTool" pressed with another photo typed into the path box.
        road.session.runExifTool(b);
        QVERIFY(road.settle());
        QVERIFY(!QFile::exists(dir.filePath("A.txt")));
        QVERIFY(QFile::exists(dir.filePath("B.txt")));
        QCOMPARE(changed.size(), 2);
        QVERIFY(hasValue(road.rows, "B.jpg"));
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
        QCOMPARE(hasValue(road.rows, "Neu"), photoChangedSince);
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

        RuntimeFolder runtime;
        Road road;
        road.session.setKeepReports(keep);
        road.session.open(photo);
        QVERIFY(road.settle());
        QVERIFY(road.failures.isEmpty());
        QVERIFY(hasValue(road.rows, QFileInfo(photo).fileName()));
        // The report went into a folder of the program's own, in the user's runtime folder.
        QCOMPARE(runtime.reports().size(), 1);
        QCOMPARE(contents(dir.path()), before);

        // The user's own file is always named; "TXT save" is told it cannot work here.
        const bool usersFile = kind == "user's notes";
        QCOMPARE(road.notices.size(), usersFile || keep ? 1 : 0);
        if (!road.notices.isEmpty()) {
            QCOMPARE(road.notices.first().contains("TXT save"), keep);
            if (usersFile)
                QVERIFY(road.notices.first().contains(dir.filePath("Bild.txt")));
        }
        road.rows.clear();
        road.session.showReport(photo); // "Show" reads the private report again
        QVERIFY(hasValue(road.rows, QFileInfo(photo).fileName()));
        road.session.close();
        QCOMPARE(runtime.reports(), QStringList());
        QCOMPARE(contents(dir.path()), before);
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
        road.session.open(a);
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
        QVERIFY(road.session.isBusy());
        road.session.open(b); // a is ended unfinished, b queued and dropped at once
        road.session.open(c);
        QVERIFY(road.settle());
        QVERIFY(QTest::qWaitFor([&] { return road.service.pending().isEmpty(); }, 30000));
        QCOMPARE(road.reportsRead, 1);
        QVERIFY(hasValue(road.rows, "c.jpg"));
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
        QVERIFY(hasValue(road.rows, "b.jpg"));
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
                                   ": > \"${0%/*}/ran\"\nwhile [ ! -f \"${0%/*}/closed\" ]; do sleep 0.05; done\n"));
        // The console's ExifTool has written its report whole and waits for the user.
        auto ran = [&] { return QFile::exists(dir.filePath("ran")); };
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + path);
        Road road;
        road.service.setKeepRunning(false);
        road.session.setShowExifTool(true);
        road.session.open(a);
        const bool written = QTest::qWaitFor(ran, 30000) && QFile::exists(dir.filePath("a.txt"));
        road.session.setShowExifTool(false);
        road.session.open(b);
        const bool settled = road.settle();
        qputenv("PATH", path);
        QVERIFY(written && settled);
        QVERIFY(hasValue(road.rows, "b.jpg"));
        QVERIFY(QFile::exists(QString("/proc/%1").arg(QString(Files::read(dir.filePath("console"))).trimmed())));
        QVERIFY(Files::write(dir.filePath("closed"), ""));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(dir.filePath("a.txt")), 30000);
        QVERIFY(hasValue(road.rows, "b.jpg"));

        // Back to a, while a console of a's is open again: when the user closes that console,
        // its end never takes the report a is shown with now.
        QVERIFY(QFile::remove(dir.filePath("closed")) && QFile::remove(dir.filePath("ran")));
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + path);
        road.session.setShowExifTool(true);
        road.session.open(a);
        const bool writtenAgain = QTest::qWaitFor(ran, 30000) && QFile::exists(dir.filePath("a.txt"));
        road.session.setShowExifTool(false);
        road.session.runExifTool(a);
        const bool settledAgain = road.settle();
        qputenv("PATH", path);
        QVERIFY(writtenAgain && settledAgain);
        QVERIFY(hasValue(road.rows, "a.jpg"));
        QVERIFY(Files::write(dir.filePath("closed"), ""));
        QTRY_VERIFY_WITH_TIMEOUT(road.service.pending().isEmpty(), 30000);
        QVERIFY(QFile::exists(dir.filePath("a.txt")));
        QVERIFY(road.failures.isEmpty());
        road.session.close();
        QCOMPARE(QDir(dir.path()).entryList({"*.txt"}), QStringList());
    }

    // A report that cannot stand beside its photo goes into a folder of the program's own: in
    // the user's runtime folder where there is one, else in the cache folder; a place ExifTool
    // would read "%" in is passed over. The folder goes with the session.
    void privateFolderIsTheRuntimeFolderWhereThereIsOne_data()
    {
        QTest::addColumn<QString>("runtime"); // "none", "folder", "not a folder", "with %"
        QTest::addColumn<bool>("inRuntime");
        QTest::newRow("runtime folder") << "folder" << true;
        QTest::newRow("none set") << "none" << false;
        QTest::newRow("set to a file") << "not a folder" << false;
        QTest::newRow("percent in its name") << "with %" << false;
    }
    void privateFolderIsTheRuntimeFolderWhereThereIsOne()
    {
        QFETCH(QString, runtime);
        QFETCH(bool, inRuntime);
        QTemporaryDir dir, cache;
        const QString photo = dir.filePath("Bild.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        QVERIFY(Files::write(dir.filePath("Bild.txt"), "Meine Notizen\n"));
        RuntimeFolder place;
        QString runtimePath = place.dir.path();
        if (runtime == "none")
            qunsetenv("XDG_RUNTIME_DIR");
        else if (runtime == "not a folder")
            QVERIFY(Files::write(runtimePath = place.dir.filePath("file"), ""));
        else if (runtime == "with %")
            QVERIFY(QDir().mkpath(runtimePath = place.dir.filePath("50%d")));
        if (runtime != "none")
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimePath));
        const QByteArray cacheBefore = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        auto reportsIn = [](const QString &folder) {
            QStringList found;
            QDirIterator it(folder, {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                found << it.next();
            return found;
        };
        Road road;
        road.session.open(photo);
        const bool settled = road.settle();
        const qsizetype inPlace = reportsIn(place.dir.path()).size(), inCache = reportsIn(cache.path()).size();
        road.session.close();
        const qsizetype leftInPlace = reportsIn(place.dir.path()).size(), leftInCache = reportsIn(cache.path()).size();
        qputenv("XDG_CACHE_HOME", cacheBefore);
        QVERIFY(settled);
        QVERIFY(hasValue(road.rows, "Bild.jpg"));
        QCOMPARE(inPlace, inRuntime ? 1 : 0);
        QCOMPARE(inCache, inRuntime ? 0 : 1);
        QCOMPARE(leftInPlace + leftInCache, 0);
    }

    // Reports made ahead into memory: nothing lands beside a photo the user has not opened, and
    // what the user opens is the photo's report as it is now, in the language asked for,
    // written beside the photo as ExifTool would have written it.
    void reportMadeAheadIsThePhotosAsItIsNow_data()
    {
        QTest::addColumn<bool>("changePhoto");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("expected"); // a line of the report shown
        QTest::newRow("as made") << false << "de"
                                 << "Kameramodell";
        QTest::newRow("photo changed since") << true << "de"
                                             << "Nikon";
        QTest::newRow("another language asked for") << false << "en"
                                                    << "Camera Model Name";
    }
    void reportMadeAheadIsThePhotosAsItIsNow()
    {
        QFETCH(bool, changePhoto);
        QFETCH(QString, language);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString photo = dir.filePath("IMG_0002.JPG"), report = dir.filePath("IMG_0002.txt");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        QVERIFY(TestPhotos::makeCameraPhoto(dir.filePath("IMG_0001.JPG")));
        Road road;
        road.ahead.prepareNeighbour(dir.filePath("IMG_0001.JPG"), +1, "de");
        QTRY_VERIFY_WITH_TIMEOUT(road.service.pending().isEmpty(), 30000);
        QVERIFY(!QFile::exists(report));
        if (changePhoto)
            QVERIFY(TestPhotos::writeTags(photo, {"-Make=Nikon", "-FileModifyDate=2030:01:01 00:00:00"}));

        road.session.setLanguage(language);
        road.session.open(photo);
        QVERIFY(road.settle());
        const QString text = QString::fromUtf8(Files::read(report));
        QVERIFY2(text.contains(expected), qPrintable(text.left(400)));
        QCOMPARE(road.rows.size(), text.count(QLatin1Char('\n')));
    }

    // Opened while its report is still being made ahead: the user now waits for that request,
    // so it shows the busy pointer like any other, and the photo is shown once.
    void photoOpenedWhileMadeAheadCountsAsBusy()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("IMG_0003.JPG");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        QVERIFY(TestPhotos::makeCameraPhoto(dir.filePath("IMG_0002.JPG")));
        Road road;
        road.ahead.prepareNeighbour(dir.filePath("IMG_0002.JPG"), +1, "en");
        QVERIFY(!road.service.isBusy());
        road.session.open(photo);
        QVERIFY(road.service.isBusy());
        QCOMPARE(road.service.pending().size(), 1);
        QVERIFY(road.settle());
        QTRY_VERIFY_WITH_TIMEOUT(road.service.pending().isEmpty(), 30000);
        QCOMPARE(road.reportsRead, 1);
        QVERIFY(QFile::exists(dir.filePath("IMG_0003.txt")));
    }

    void failedRunNamesThePhotoAndEmptiesTheList()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("there.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        Road road;
        road.session.open(photo);
        QVERIFY(road.settle());
        QVERIFY(!road.rows.isEmpty());
        QVERIFY(QFile::remove(photo));
        QSignalSpy cleared(&road.session, &PhotoSession::reportCleared);
        road.session.runExifTool(photo);
        QVERIFY(road.settle());
        QVERIFY(road.rows.isEmpty());
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(road.failures.size(), 1);
        QVERIFY(road.failures.first().contains(photo));
    }
};

QTEST_GUILESS_MAIN(TestPhotoSession)
#include "tst_photosession.moc"
