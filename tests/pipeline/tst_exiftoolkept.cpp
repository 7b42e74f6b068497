#include "TestPhotos.h"
#include "fixture_Files.h"

#include "pipeline/ExifToolCommand.h"
#include "pipeline/ExifToolKept.h"
#include "pipeline/ReportPath.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace
{

// A stand-in for ExifTool in both of its modes. Started with "-stay_open" it reads argument
// lines from stdin, logs them to "received" and, at each "-execute<N>", behaves as the file
// "mode" says at that moment:
//   answer    writes the report, the "-echo4" text with the status, then "{ready<N>}";
//   error     the same, with an error line and status 1;
//   nostatus  answers without the "-echo4" text (an ExifTool too old to know it);
//   die       exits without answering;
//   hang      records its pid and sleeps without answering.
// Started otherwise it is the one-shot run: it logs its arguments to "oneshot" and writes the
// report. "starts" gets a line per kept process started.
const QByteArray FakeExifTool = R"SH(dir=${0%/*}
report() { printf -- '---- ExifTool ----\n---- System ----\nFile Name : %s\n' "${1##*/}" > "${1%.*}.txt"; }
if [ "$1" != "-stay_open" ]; then
  printf '%s\n' "$@" >> "$dir/oneshot"
  for last; do :; done
  report "$last"
  exit 0
fi
printf '%s\n' "$*" >> "$dir/starts"
while IFS= read -r line; do
  printf '%s\n' "$line" >> "$dir/received"
  case $line in
    -execute*)
      n=${line#-execute}
      mode=$(cat "$dir/mode" 2>/dev/null)
      case $mode in
        die) exit 3 ;;
        hang) echo $$ > "$dir/hung"; sleep 8; exit 0 ;;
      esac
      report "$photo"
      status=0
      if [ "$mode" = error ]; then echo "Error: something about $photo" >&2; status=1; fi
      [ "$mode" = nostatus ] || printf '%s\n' "$echo4" | sed "s/\${status}/$status/" >&2
      echo "    1 output files created"
      echo "{ready$n}" ;;
    -echo4) wantEcho=1 ;;
    False) [ "$previous" = "-stay_open" ] && { : > "$dir/closed"; exit 0; } ;;
    *) if [ -n "$wantEcho" ]; then echo4=$line; wantEcho=; else photo=$line; fi ;;
  esac
  previous=$line
done
)SH";

// The access time of the photo is part of the report and changes as soon as anything reads
// the photo, so two runs can only be compared without that line.
QByteArray withoutAccessTime(const QByteArray &report)
{
    QList<QByteArray> lines = report.split('\n');
    lines.removeIf([](const QByteArray &line) {
        return line.startsWith("File Access Date/Time") || line.contains("letzten Dateizugriffs");
    });
    return lines.join('\n');
}

} // namespace

class TestExifToolKept : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void argumentsAndRequestNumbersReachOneProcess();
    void fallsBackAndRestarts_data();
    void fallsBackAndRestarts();
    void argumentsTheFileCannotCarry_data();
    void argumentsTheFileCannotCarry();
    void pathWithNewlineGoesOneShot();
    void abortKillsTheKeptProcess();
    void secondRunWhileBusyIsRefused();
    void endsPolitelyWhenDestroyed();
    void missingProgramGivesTheOneShotOutcome();

    void realExifToolWritesTheSameReport_data();
    void realExifToolWritesTheSameReport();
    void realExifToolFailuresGiveTheSameMessage_data();
    void realExifToolFailuresGiveTheSameMessage();

private:
    QString fake();
    void setMode(const QByteArray &mode);
    QStringList lines(const QString &name) const;
    QStringList args(const QString &photo, const QString &lang = QStringLiteral("de")) const
    {
        return ExifToolCommand::arguments(lang, false, photo);
    }

    QTemporaryDir *m_dir = nullptr;
    QString m_photo;
    QString m_report;
};

void TestExifToolKept::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_photo = m_dir->filePath(QStringLiteral("Bild.jpg"));
    QVERIFY(ReportPath::forPhoto(m_photo, &m_report));
}

void TestExifToolKept::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

QString TestExifToolKept::fake()
{
    const QString path = m_dir->filePath(QStringLiteral("exiftool"));
    if (!QFileInfo::exists(path) && !Files::writeScript(path, FakeExifTool))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestExifToolKept::setMode(const QByteArray &mode)
{
    QVERIFY(Files::write(m_dir->filePath(QStringLiteral("mode")), mode));
}

QStringList TestExifToolKept::lines(const QString &name) const
{
    const QString text = QString::fromUtf8(Files::read(m_dir->filePath(name)));
    return text.isEmpty() ? QStringList() : text.chopped(1).split(QLatin1Char('\n'));
}

void TestExifToolKept::argumentsAndRequestNumbersReachOneProcess()
{
    setMode("answer");
    const QString second = m_dir->filePath(QStringLiteral("Zweites Bild.jpg"));
    ExifToolKept kept;
    QSignalSpy busy(&kept, &ExifToolKept::busyChanged);
    kept.start(fake());
    QVERIFY(kept.isRunning());

    const ExifToolRun::Outcome first = kept.run(fake(), args(m_photo));
    // "-k" cannot work when stdin carries the arguments: it is dropped, as for a hidden one-shot run.
    const ExifToolRun::Outcome next = kept.run(fake(), ExifToolCommand::arguments(QStringLiteral("en"), true, second));

    for (const ExifToolRun::Outcome &outcome : {first, next}) {
        QVERIFY(outcome.started && !outcome.aborted && !outcome.crashed);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.program, fake());
    }
    QCOMPARE(describeFailure(first, m_photo, m_report), QString());
    QCOMPARE(lines(QStringLiteral("starts")), QStringList{QStringLiteral("-stay_open True -@ -")});
    QCOMPARE(lines(QStringLiteral("oneshot")), QStringList());
    const QStringList expected =
        args(m_photo) +
        QStringList{QStringLiteral("-echo4"), QStringLiteral("{status1 ${status}}"), QStringLiteral("-execute1")} +
        args(second, QStringLiteral("en")) +
        QStringList{QStringLiteral("-echo4"), QStringLiteral("{status2 ${status}}"), QStringLiteral("-execute2")};
    QCOMPARE(lines(QStringLiteral("received")), expected);
    QCOMPARE(busy.size(), 4);
    QCOMPARE(busy.at(0).at(0).toBool(), true);
    QCOMPARE(busy.at(1).at(0).toBool(), false);
}

void TestExifToolKept::fallsBackAndRestarts_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("killed"); // the kept process had to be ended by us
    QTest::newRow("dies mid-request") << QByteArray("die") << false;
    QTest::newRow("hangs past the time limit") << QByteArray("hang") << true;
    QTest::newRow("answers with an error") << QByteArray("error") << false;
    QTest::newRow("answers without a status") << QByteArray("nostatus") << false;
}

void TestExifToolKept::fallsBackAndRestarts()
{
    QFETCH(QByteArray, mode);
    QFETCH(bool, killed);
    setMode(mode);
    ExifToolKept kept;
    kept.setTimeLimit(300);
    kept.start(fake());
    // The limit is meant for the request, not for the start of the fake.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_dir->filePath(QStringLiteral("starts"))), 5000);

    QElapsedTimer clock;
    clock.start();
    const ExifToolRun::Outcome outcome = kept.run(fake(), args(m_photo));
    // Loose bound: the hanging fake gives up by itself after 8 s, which would pass as "died".
    QVERIFY2(clock.elapsed() < 6000, "the time limit did not end the wait");
    QVERIFY(outcome.started && !outcome.aborted);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("oneshot")), args(m_photo)); // the request was run once more, one-shot
    QCOMPARE(describeFailure(outcome, m_photo, m_report), QString());
    if (killed) {
        const pid_t hung = Files::read(m_dir->filePath(QStringLiteral("hung"))).trimmed().toInt();
        QVERIFY(hung > 0);
        QCOMPARE(::kill(hung, 0), -1);
    }

    // A fresh kept process serves the next request.
    QVERIFY(kept.isRunning());
    setMode("answer");
    QVERIFY(QFile::remove(m_report));
    const ExifToolRun::Outcome next = kept.run(fake(), args(m_photo, QStringLiteral("en")));
    QCOMPARE(next.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("starts")).size(), 2);
    QCOMPARE(lines(QStringLiteral("oneshot")).size(), args(m_photo).size());
    QCOMPARE(lines(QStringLiteral("received")).last(), QStringLiteral("-execute2"));
    QCOMPARE(describeFailure(next, m_photo, m_report), QString());
}

void TestExifToolKept::argumentsTheFileCannotCarry_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("fits");
    const QStringList head{QStringLiteral("-lang"), QStringLiteral("de"), QStringLiteral("-w!"), QStringLiteral("txt")};
    QTest::newRow("plain path") << head + QStringList{QStringLiteral("/tmp/Fotos/Bild 1 ä.jpg")} << true;
    QTest::newRow("relative path") << head + QStringList{QStringLiteral("Bild.jpg")} << true;
    QTest::newRow("blank inside and at the end") << head + QStringList{QStringLiteral("a b .jpg ")} << true;
    QTest::newRow("'#' inside") << head + QStringList{QStringLiteral("Bild#1.jpg")} << true;
    QTest::newRow("newline") << head + QStringList{QStringLiteral("/tmp/a\nb.jpg")} << false;
    QTest::newRow("carriage return") << head + QStringList{QStringLiteral("/tmp/ab.jpg\r")} << false;
    QTest::newRow("leading blank") << head + QStringList{QStringLiteral(" Bild.jpg")} << false;
    QTest::newRow("leading tab") << head + QStringList{QStringLiteral("\tBild.jpg")} << false;
    QTest::newRow("comment") << head + QStringList{QStringLiteral("#Bild.jpg")} << false;
    QTest::newRow("empty") << head + QStringList{QString()} << false;
    QTest::newRow("tag assignment it would rewrite")
        << QStringList{QStringLiteral("-Artist = x"), QStringLiteral("a.jpg")} << false;
    QTest::newRow("language that ends the request")
        << QStringList{QStringLiteral("-lang"), QStringLiteral("-execute")} << false;
    QTest::newRow("language that ends the process")
        << QStringList{QStringLiteral("-lang"), QStringLiteral("-STAY_OPEN"), QStringLiteral("0")} << false;
    QTest::newRow("another argument file") << QStringList{QStringLiteral("-@"), QStringLiteral("x")} << false;
}

void TestExifToolKept::argumentsTheFileCannotCarry()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fits);
    QCOMPARE(ExifToolKept::fitsArgumentFile(arguments), fits);
}

void TestExifToolKept::pathWithNewlineGoesOneShot()
{
    setMode("answer");
    const QString photo = m_dir->filePath(QStringLiteral("Zeile\nBild.jpg"));
    QString report;
    QVERIFY(ReportPath::forPhoto(photo, &report));
    ExifToolKept kept;
    kept.start(fake());
    const ExifToolRun::Outcome outcome = kept.run(fake(), args(photo));
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("received")), QStringList());
    QCOMPARE(lines(QStringLiteral("oneshot")).last(), QStringLiteral("Bild.jpg")); // the path's second line
    QVERIFY(QFileInfo::exists(report));
    QVERIFY(kept.isRunning()); // the kept process is fine and stays for the next photo
}

void TestExifToolKept::abortKillsTheKeptProcess()
{
    setMode("hang");
    ExifToolKept kept;
    kept.start(fake());
    QSignalSpy busy(&kept, &ExifToolKept::busyChanged);
    // Aborts once the fake is working on the request.
    QTimer poll;
    connect(&poll, &QTimer::timeout, &kept, [&] {
        if (QFileInfo::exists(m_dir->filePath(QStringLiteral("hung"))))
            kept.abort();
    });
    poll.start(20);
    const ExifToolRun::Outcome outcome = kept.run(fake(), args(m_photo));
    QVERIFY(outcome.aborted);
    QVERIFY(!kept.isBusy());
    QVERIFY(!kept.isRunning());
    QCOMPARE(busy.size(), 2);
    // Neither the kept process nor a one-shot run may write the report after the window is gone.
    QCOMPARE(lines(QStringLiteral("oneshot")), QStringList());
    const pid_t hung = Files::read(m_dir->filePath(QStringLiteral("hung"))).trimmed().toInt();
    QVERIFY(hung > 0);
    QCOMPARE(::kill(hung, 0), -1);
    QVERIFY(!QFileInfo::exists(m_report));
    QVERIFY(describeFailure(outcome, m_photo, m_report).contains(QStringLiteral("stopped")));
}

void TestExifToolKept::secondRunWhileBusyIsRefused()
{
    setMode("answer");
    ExifToolKept kept;
    kept.start(fake());
    ExifToolRun::Outcome second;
    bool busyInside = false;
    connect(&kept, &ExifToolKept::busyChanged, &kept, [&](bool busy) {
        if (busy) {
            busyInside = kept.isBusy();
            second = kept.run(fake(), args(m_photo));
        }
    });
    const ExifToolRun::Outcome first = kept.run(fake(), args(m_photo));
    QVERIFY(busyInside);
    QCOMPARE(first.exitCode, 0);
    QVERIFY(!second.started);
    QVERIFY(!second.errorOutput.isEmpty());
    QCOMPARE(lines(QStringLiteral("received")).count(QStringLiteral("-echo4")), 1);
}

void TestExifToolKept::endsPolitelyWhenDestroyed()
{
    setMode("answer");
    {
        ExifToolKept kept;
        kept.start(fake());
        QCOMPARE(kept.run(fake(), args(m_photo)).exitCode, 0);
    }
    QVERIFY2(QFileInfo::exists(m_dir->filePath(QStringLiteral("closed"))), "was killed instead of being asked to end");
    QCOMPARE(lines(QStringLiteral("received")).mid(lines(QStringLiteral("received")).size() - 2),
             (QStringList{QStringLiteral("-stay_open"), QStringLiteral("False")}));
}

void TestExifToolKept::missingProgramGivesTheOneShotOutcome()
{
    const QString missing = m_dir->filePath(QStringLiteral("nowhere/exiftool"));
    ExifToolKept kept;
    kept.start(missing);
    const ExifToolRun::Outcome outcome = kept.run(missing, args(m_photo));
    ExifToolRun oneShot;
    const ExifToolRun::Outcome expected = oneShot.run(missing, args(m_photo), false);
    QVERIFY(!outcome.started);
    QCOMPARE(describeFailure(outcome, m_photo, m_report), describeFailure(expected, m_photo, m_report));
    QVERIFY(!kept.isBusy());
}

void TestExifToolKept::realExifToolWritesTheSameReport_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("German") << QStringLiteral("de") << QStringLiteral("Urlaub Müller.jpg");
    QTest::newRow("English") << QStringLiteral("en") << QStringLiteral("holiday #1.jpg");
}

void TestExifToolKept::realExifToolWritesTheSameReport()
{
    QFETCH(QString, lang);
    QFETCH(QString, fileName);
    const QString exiftool = TestPhotos::exiftool();
    if (exiftool.isEmpty())
        QSKIP("exiftool is not installed");
    const QString photo = m_dir->filePath(fileName);
    QString report;
    QVERIFY(ReportPath::forPhoto(photo, &report));
    QVERIFY(TestPhotos::makeCameraPhoto(photo));

    ExifToolRun oneShot;
    QCOMPARE(oneShot.run(exiftool, args(photo, lang), false).exitCode, 0);
    const QByteArray expected = Files::read(report);
    QVERIFY(expected.startsWith("---- ExifTool ----"));
    QVERIFY(QFile::remove(report));

    ExifToolKept kept;
    kept.start(exiftool);
    // Twice through the same process: the second request must not inherit the first one's state.
    for (const QString &language : {lang == QStringLiteral("de") ? QStringLiteral("en") : QStringLiteral("de"), lang}) {
        const ExifToolRun::Outcome outcome = kept.run(exiftool, args(photo, language));
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(describeFailure(outcome, photo, report), QString());
    }
    QCOMPARE(withoutAccessTime(Files::read(report)), withoutAccessTime(expected));
}

void TestExifToolKept::realExifToolFailuresGiveTheSameMessage_data()
{
    QTest::addColumn<QByteArray>("content"); // what the photo file holds; null: no file at all
    QTest::addColumn<bool>("reported");      // ExifTool still writes a report
    QTest::newRow("missing photo: no report, status 1") << QByteArray() << false;
    QTest::newRow("empty photo: a report, status 1") << QByteArray("") << true;
}

void TestExifToolKept::realExifToolFailuresGiveTheSameMessage()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, reported);
    const QString exiftool = TestPhotos::exiftool();
    if (exiftool.isEmpty())
        QSKIP("exiftool is not installed");
    if (!content.isNull())
        QVERIFY(Files::write(m_photo, content));

    ExifToolRun oneShot;
    const ExifToolRun::Outcome expected = oneShot.run(exiftool, args(m_photo), false);
    QCOMPARE(QFileInfo::exists(m_report), reported);
    QFile::remove(m_report);
    ExifToolKept kept;
    kept.start(exiftool);
    const ExifToolRun::Outcome outcome = kept.run(exiftool, args(m_photo));
    QCOMPARE(QFileInfo::exists(m_report), reported);
    QCOMPARE(outcome.exitCode, expected.exitCode);
    const QString message = describeFailure(outcome, m_photo, m_report);
    QCOMPARE(message.isEmpty(), reported);
    QCOMPARE(message, describeFailure(expected, m_photo, m_report));

    // The kept process is still of use for the next, readable photo.
    QVERIFY(kept.isRunning());
    QVERIFY(TestPhotos::makeJpeg(m_photo));
    QCOMPARE(describeFailure(kept.run(exiftool, args(m_photo)), m_photo, m_report), QString());
}

QTEST_GUILESS_MAIN(TestExifToolKept)
#include "tst_exiftoolkept.moc"
