// Reports fetched ahead into memory: nothing lands beside a photo the user has not opened, and
// what the user opens is the photo's report as it is now, in the language asked for, written
// beside the photo as ExifTool would have written it.
#include "Files.h"
#include "TestPhotos.h"

#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoSession.h"
#include "pipeline/ReportListModel.h"
#include "pipeline/ReportsAhead.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestReportsAhead : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!TestPhotos::exiftool().isEmpty(), "ExifTool must be installed"); }

    void openedPhotoGetsItsReportAsItIsNow_data()
    {
        QTest::addColumn<bool>("changePhoto");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("expected"); // a line of the report shown
        QTest::newRow("as fetched") << false << "de"
                                    << "Kameramodell";
        QTest::newRow("photo changed since") << true << "de"
                                             << "Nikon";
        QTest::newRow("another language asked for") << false << "en"
                                                    << "Camera Model Name";
    }
    void openedPhotoGetsItsReportAsItIsNow()
    {
        QFETCH(bool, changePhoto);
        QFETCH(QString, language);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString photo = dir.filePath("IMG_0002.JPG"), report = dir.filePath("IMG_0002.txt");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ExifToolService service;
        ReportListModel model;
        PhotoSession session(service, model);
        ReportsAhead ahead(service);
        session.useReportsAhead(&ahead);

        ahead.prepare(photo, "de");
        QTRY_VERIFY_WITH_TIMEOUT(service.pending().isEmpty(), 30000);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"IMG_0002.JPG"});
        if (changePhoto)
            QVERIFY(TestPhotos::writeTags(photo, {"-Make=Nikon", "-FileModifyDate=2030:01:01 00:00:00"}));

        session.setLanguage(language);
        QSignalSpy loaded(&session, &PhotoSession::reportLoaded);
        session.open(photo);
        QVERIFY(loaded.wait(30000));
        QCOMPARE(session.reportPath(), report);
        QCOMPARE(session.origin(), PhotoSession::Origin::Ours);
        const QString text = QString::fromUtf8(Files::read(report));
        QVERIFY2(text.contains(expected), qPrintable(text.left(400)));
        QCOMPARE(model.rowCount(), text.count(QLatin1Char('\n')));
    }

    // Opened while its report is still being fetched ahead: the user now waits for that
    // request, so it shows the busy pointer like any other, and the photo is shown once.
    void photoOpenedWhileFetchedCountsAsBusy()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("IMG_0003.JPG");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ExifToolService service;
        ReportListModel model;
        PhotoSession session(service, model);
        ReportsAhead ahead(service);
        session.useReportsAhead(&ahead);
        QSignalSpy loaded(&session, &PhotoSession::reportLoaded);

        ahead.prepare(photo, "en");
        QVERIFY(!service.isBusy());
        session.open(photo);
        QVERIFY(service.isBusy());
        QCOMPARE(service.pending().size(), 1);
        QVERIFY(loaded.wait(30000));
        QTRY_VERIFY_WITH_TIMEOUT(service.pending().isEmpty(), 30000);
        QCOMPARE(loaded.size(), 1);
        QVERIFY(QFile::exists(dir.filePath("IMG_0003.txt")));
    }
};

QTEST_GUILESS_MAIN(TestReportsAhead)
#include "tst_reportsahead.moc"
