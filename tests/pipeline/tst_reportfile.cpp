#include "Files.h"

#include "common/TestPhotos.h"
#include "pipeline/ReportFile.h"
#include "exiftool/ReportPath.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Every case puts a real file where the report would be, tries what the window would do
// (show, delete, run ExifTool) and checks that a file that is not ours is byte for byte the same.
class TestReportFile : public QObject
{
    Q_OBJECT

private slots:
    void examine_data();
    void examine();
    void userFileIsNeverDeleted_data();
    void userFileIsNeverDeleted();
    void ownReportIsDeleted();
    void otherPhotosReportIsKept();
    void photoNamedLikeItsReport();
    void hardLinkToThePhoto();
    void folderAtReportPath();
    void fifoAtReportPath();
    void realReportsOfTwoPhotosSharingOneName();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestReportFile::examine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    const int own = int(ReportFile::Status::OwnReport);
    const int other = int(ReportFile::Status::OtherPhotosReport);
    const int foreign = int(ReportFile::Status::Foreign);
    QTest::newRow("own") << Files::reportFor(QStringLiteral("Bild.jpg")) << own;
    QTest::newRow("own, CR LF") << Files::reportFor(QStringLiteral("Bild.jpg")).replace("\n", "\r\n") << own;
    QTest::newRow("own, Japanese") << QByteArray(
                                          "---- ExifTool ----\nExifTool\xe3\x83\x90 : 12.57\n---- System ----\n"
                                          "\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\xe5\x90\x8d : Bild.jpg\n")
                                   << own;
    QTest::newRow("other photo") << Files::reportFor(QStringLiteral("Bild.CR2")) << other;
    QTest::newRow("other photo, same stem other case") << Files::reportFor(QStringLiteral("bild.jpg")) << other;
    QTest::newRow("report without a System group") << QByteArray("---- IFD0 ----\nMake : Canon\n") << other;
    QTest::newRow("user's notes") << QByteArray("Einkaufsliste: Milch, Brot\n") << foreign;
    QTest::newRow("empty file") << QByteArray() << foreign;
    QTest::newRow("header later") << QByteArray("notes\n---- ExifTool ----\n") << foreign;
    QTest::newRow("dashes with a colon") << QByteArray("---- To do: ----\n") << foreign;
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << foreign;
}

void TestReportFile::examine()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    const QString report = path(QStringLiteral("Bild.txt"));
    QVERIFY(Files::write(report, content));
    QCOMPARE(int(ReportFile::examine(report, path(QStringLiteral("Bild.jpg")))), status);
    QCOMPARE(Files::read(report), content);
    QVERIFY(QFile::remove(report));
    QCOMPARE(ReportFile::examine(report, path(QStringLiteral("Bild.jpg"))), ReportFile::Status::Missing);
}

void TestReportFile::userFileIsNeverDeleted_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("notes") << QByteArray("Meine Notizen zu Bild.jpg\r\nBlende 8\r\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("dashes") << QByteArray("--------\n");
}

void TestReportFile::userFileIsNeverDeleted()
{
    QFETCH(QByteArray, content);
    const QString photo = path(QStringLiteral("Bild.jpg"));
    QVERIFY(TestPhotos::makeJpeg(photo));
    QString report;
    QVERIFY(ReportPath::forPhoto(photo, &report));
    QVERIFY(Files::write(report, content));

    QVERIFY(!ReportFile::removeReport(report, photo));
    QCOMPARE(ReportFile::examine(report, photo), ReportFile::Status::Foreign);
    QCOMPARE(Files::read(report), content);
    QVERIFY(QFile::remove(report));
}

void TestReportFile::ownReportIsDeleted()
{
    const QString photo = path(QStringLiteral("Bild.jpeg"));
    const QString report = path(QStringLiteral("Bild.txt"));
    QVERIFY(Files::write(report, Files::reportFor(QStringLiteral("Bild.jpeg"))));
    QCOMPARE(ReportFile::examine(report, photo), ReportFile::Status::OwnReport);
    QVERIFY(ReportFile::removeReport(report, photo));
    QVERIFY(!QFileInfo::exists(report));
    QVERIFY(!ReportFile::removeReport(report, photo)); // nothing left to delete
}

void TestReportFile::otherPhotosReportIsKept()
{
    // IMG.CR2's kept report must not be shown as, or deleted with, IMG.JPG's.
    const QString report = path(QStringLiteral("IMG.txt"));
    const QByteArray content = Files::reportFor(QStringLiteral("IMG.CR2"));
    QVERIFY(Files::write(report, content));
    QCOMPARE(ReportFile::examine(report, path(QStringLiteral("IMG.JPG"))), ReportFile::Status::OtherPhotosReport);
    QVERIFY(!ReportFile::removeReport(report, path(QStringLiteral("IMG.JPG"))));
    QCOMPARE(Files::read(report), content);
    QVERIFY(ReportFile::removeReport(report, path(QStringLiteral("IMG.CR2"))));
}

void TestReportFile::photoNamedLikeItsReport()
{
    // A photo named notes.txt: ExifTool's "-w! txt" would write the report over it.
    const QString photo = path(QStringLiteral("notes.txt"));
    QVERIFY(TestPhotos::makeJpeg(path(QStringLiteral("src.jpg"))));
    QVERIFY(QFile::copy(path(QStringLiteral("src.jpg")), photo));
    const QByteArray bytes = Files::read(photo);
    QString report;
    QVERIFY(ReportPath::forPhoto(photo, &report));
    QCOMPARE(report, photo);

    QCOMPARE(ReportFile::examine(report, photo), ReportFile::Status::Foreign);
    QVERIFY(ReportFile::samePath(report, photo));
    QVERIFY(!ReportFile::removeReport(report, photo));
    QCOMPARE(Files::read(photo), bytes);

    // Even when the "photo" is itself an ExifTool report, it is not its own report.
    const QString kept = path(QStringLiteral("kept.txt"));
    QVERIFY(Files::write(kept, Files::reportFor(QStringLiteral("kept.txt"))));
    QCOMPARE(ReportFile::examine(kept, kept), ReportFile::Status::Foreign);
    QVERIFY(!ReportFile::removeReport(kept, kept));
    QVERIFY(QFileInfo::exists(kept));
}

void TestReportFile::hardLinkToThePhoto()
{
    const QString photo = path(QStringLiteral("Linked.jpg"));
    const QString report = path(QStringLiteral("Linked.txt"));
    QVERIFY(Files::write(photo, Files::reportFor(QStringLiteral("Linked.jpg"))));
    QCOMPARE(::link(QFile::encodeName(photo).constData(), QFile::encodeName(report).constData()), 0);
    QCOMPARE(ReportFile::examine(report, photo), ReportFile::Status::Foreign);
    QVERIFY(!ReportFile::removeReport(report, photo));
    QVERIFY(QFileInfo::exists(report));
}

void TestReportFile::folderAtReportPath()
{
    const QString report = path(QStringLiteral("Ordner.txt"));
    QVERIFY(QDir().mkpath(report + QStringLiteral("/inside")));
    const QString photo = path(QStringLiteral("Ordner.jpg"));
    QCOMPARE(ReportFile::examine(report, photo), ReportFile::Status::Foreign);
    QVERIFY(!ReportFile::isReport(report));
    QVERIFY(!ReportFile::removeReport(report, photo));
    QVERIFY(QFileInfo(report + QStringLiteral("/inside")).isDir());
}

void TestReportFile::fifoAtReportPath()
{
    // Reading a FIFO would block the window for good.
    const QString report = path(QStringLiteral("Pipe.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(report).constData(), 0600), 0);
    QCOMPARE(ReportFile::examine(report, path(QStringLiteral("Pipe.jpg"))), ReportFile::Status::Foreign);
    QVERIFY(!ReportFile::removeReport(report, path(QStringLiteral("Pipe.jpg"))));
    QVERIFY(QFileInfo::exists(report));
}

void TestReportFile::realReportsOfTwoPhotosSharingOneName()
{
    if (TestPhotos::exiftool().isEmpty())
        QSKIP("exiftool is not installed");
    QTemporaryDir dir;
    const QString jpg = dir.filePath(QStringLiteral("IMG.JPG"));
    const QString png = dir.filePath(QStringLiteral("IMG.jpeg"));
    QVERIFY(TestPhotos::makeJpeg(jpg));
    QVERIFY(TestPhotos::makeJpeg(png));
    QString report;
    QVERIFY(ReportPath::forPhoto(jpg, &report));
    for (const char *lang : {"de", "en", "fr", "ja"}) {
        QVERIFY(TestPhotos::writeReport(jpg, QString::fromLatin1(lang)));
        QCOMPARE(ReportFile::examine(report, jpg), ReportFile::Status::OwnReport);
        QCOMPARE(ReportFile::examine(report, png), ReportFile::Status::OtherPhotosReport);
    }
    QVERIFY(TestPhotos::writeReport(png, QStringLiteral("en")));
    QCOMPARE(ReportFile::examine(report, png), ReportFile::Status::OwnReport);
    QCOMPARE(ReportFile::examine(report, jpg), ReportFile::Status::OtherPhotosReport); // not the JPEG's any more
}

QTEST_GUILESS_MAIN(TestReportFile)
#include "tst_reportfile.moc"
