#include "Files.h"
#include "Processes.h"

#include "common/TestPhotos.h"
#include "exiftool/ExifToolCommand.h"
#include "exiftool/ProgramFolder.h"
#include "exiftool/ReportPath.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestReportPath : public QObject
{
    Q_OBJECT

private slots:
    void forPhoto_data();
    void forPhoto();
    void sameNameAsExifTool_data();
    void sameNameAsExifTool();
    void photoPathFromArgument_data();
    void photoPathFromArgument();
    void argumentNamingAFileIsTakenAsGiven();
    void arguments_data();
    void arguments();
    void locatePrefersProgramFolder();
};

void TestReportPath::forPhoto_data()
{
    QTest::addColumn<QString>("photo");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("report");
    QTest::newRow("three letters") << "/fotos/Bild.jpg" << true << "/fotos/Bild.txt";
    QTest::newRow("four letters") << "/fotos/Bild.jpeg" << true << "/fotos/Bild.txt";
    QTest::newRow("upper case") << "/fotos/IMG_0001.CR2" << true << "/fotos/IMG_0001.txt";
    QTest::newRow("no extension") << "/fotos/Bild" << true << "/fotos/Bild.txt";
    QTest::newRow("dot in the folder only") << "/fotos.2023/Bild" << true << "/fotos.2023/Bild.txt";
    QTest::newRow("several dots") << "/fotos/a.b.c" << true << "/fotos/a.b.txt";
    QTest::newRow("hidden file") << "/fotos/.hidden" << true << "/fotos/.txt";
    QTest::newRow("trailing dot") << "/fotos/abc." << true << "/fotos/abc.txt";
    QTest::newRow("blanks") << "/my fotos/x y.tif" << true << "/my fotos/x y.txt";
    QTest::newRow("relative") << "Bild.png" << true << "Bild.txt";
    QTest::newRow("four characters") << "a.gif" << true << "a.txt";
    QTest::newRow("exactly four") << "/a.b" << true << "/a.txt";
    QTest::newRow("the report itself") << "/fotos/notes.txt" << true << "/fotos/notes.txt";
    QTest::newRow("three characters") << "a.b" << false << "";
    QTest::newRow("empty") << "" << false << "";
}

void TestReportPath::forPhoto()
{
    QFETCH(QString, photo);
    QFETCH(bool, ok);
    QFETCH(QString, report);
    QString result = QStringLiteral("untouched");
    QCOMPARE(ReportPath::forPhoto(photo, &result), ok);
    QCOMPARE(result, ok ? report : QStringLiteral("untouched"));
}

void TestReportPath::sameNameAsExifTool_data()
{
    QTest::addColumn<QString>("fileName");
    for (const char *name :
         {"Bild.jpg", "Bild.jpeg", "noext", "a.b.c", ".hidden", "abc.", "..x", "x y.tiff", "-dash.jpg"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestReportPath::sameNameAsExifTool()
{
    // The rule must name the very file ExifTool writes, or the report is never found (or is
    // left behind undeleted).
    QFETCH(QString, fileName);
    if (TestPhotos::exiftool().isEmpty())
        QSKIP("exiftool is not installed");
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QVERIFY(TestPhotos::makeJpeg(dir.filePath(QStringLiteral("source.jpg"))));
    QVERIFY(QFile::copy(dir.filePath(QStringLiteral("source.jpg")), dir.filePath(fileName)));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    int code = -1;
    Processes::run(TestPhotos::exiftool(), ExifToolCommand::arguments(QStringLiteral("en"), false, fileName), &code);
    QCOMPARE(code, 0);
    QStringList written = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : before)
        written.removeOne(name);
    QCOMPARE(written.size(), 1);
    QString report;
    QVERIFY(ReportPath::forPhoto(dir.filePath(fileName), &report));
    QCOMPARE(report, dir.filePath(written.first()));
}

void TestReportPath::photoPathFromArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("photo");
    QTest::newRow("quoted") << "\"/fotos/Bild.jpg\""
                            << "/fotos/Bild.jpg";
    QTest::newRow("quotes inside") << "/fo\"tos/Bi\"ld.jpg"
                                   << "/fotos/Bild.jpg";
    QTest::newRow("two quoted paths stay one") << "\"/a/x.jpg\" \"/b/y.jpg\""
                                               << "/a/x.jpg /b/y.jpg";
    QTest::newRow("blanks kept") << "  /a/x.jpg "
                                 << "  /a/x.jpg ";
    QTest::newRow("single quotes kept") << "'x.jpg'"
                                        << "'x.jpg'";
    QTest::newRow("only quotes") << "\"\""
                                 << "";
}

void TestReportPath::photoPathFromArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, photo);
    QCOMPARE(ReportPath::photoPathFromArgument(argument), photo);
}

void TestReportPath::argumentNamingAFileIsTakenAsGiven()
{
    // A file manager passes Mom's "best" shot.jpg as it is; a shell user quotes the whole path.
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("Mom's \"best\" shot.jpg"));
    QVERIFY(Files::write(photo, "jpeg"));
    QCOMPARE(ReportPath::photoPathFromArgument(photo), photo);
    const QString plain = dir.filePath(QStringLiteral("plain.jpg"));
    QVERIFY(Files::write(plain, "jpeg"));
    QCOMPARE(ReportPath::photoPathFromArgument(QLatin1Char('"') + plain + QLatin1Char('"')), plain);
}

void TestReportPath::arguments_data()
{
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("hidden") << false << "/my fotos/Bild.jpg"
                            << QStringList{"-lang", "de", "-a", "-u", "-g1", "-w!", "txt", "/my fotos/Bild.jpg"};
    QTest::newRow("shown") << true << "/my fotos/Bild.jpg"
                           << QStringList{"-lang", "de", "-a", "-u", "-g1", "-k", "-w!", "txt", "/my fotos/Bild.jpg"};
    QTest::newRow("quote and semicolon pass as they are")
        << false << "/a/\"b\";rm x.jpg"
        << QStringList{"-lang", "de", "-a", "-u", "-g1", "-w!", "txt", "/a/\"b\";rm x.jpg"};
    QTest::newRow("name looking like an option")
        << false << "-ver.jpg" << QStringList{"-lang", "de", "-a", "-u", "-g1", "-w!", "txt", "./-ver.jpg"};
}

void TestReportPath::arguments()
{
    QFETCH(bool, show);
    QFETCH(QString, photo);
    QFETCH(QStringList, expected);
    QCOMPARE(ExifToolCommand::arguments(QStringLiteral("de"), show, photo), expected);
    // ExifTool refuses a plain "zh"; the box's code reaches it as "zh-cn", every other unchanged.
    QCOMPARE(ExifToolCommand::arguments(QStringLiteral("zh"), show, photo).at(1), QStringLiteral("zh-cn"));
    QCOMPARE(ExifToolCommand::arguments(QStringLiteral("xx"), show, photo).at(1), QStringLiteral("xx"));
}

void TestReportPath::locatePrefersProgramFolder()
{
    QTemporaryDir dir;
    ProgramFolder::setOverride(dir.path());
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    QCOMPARE(ExifToolCommand::locate(), onPath);

    // A file that is not executable does not count.
    const QString beside = dir.filePath(QStringLiteral("exiftool"));
    QVERIFY(Files::write(beside, "not a program"));
    QCOMPARE(ExifToolCommand::locate(), onPath);

    QVERIFY(Files::writeScript(beside, "exit 0\n"));
    QCOMPARE(ExifToolCommand::locate(), beside);
    ProgramFolder::setOverride(QString());
}

QTEST_GUILESS_MAIN(TestReportPath)
#include "tst_reportpath.moc"
