#include "Files.h"
#include "TestPhotos.h"

#include "exiftool/EarlyHandover.h"
#include "exiftool/ExifToolCommand.h"
#include "exiftool/KeptExifTool.h"
#include "exiftool/ReportPath.h"
#include "exiftool/TerminalCommand.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoSession.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// A stand-in for ExifTool in both of its modes, in a temporary folder. Both modes take the
// same lock while they work; a run that finds it taken writes "overlaps".
//
// Started with "-stay_open" it reads argument lines from stdin, logs them to "received" and,
// at each "-execute<N>", behaves as the file "mode" says at that moment:
//   answer    writes the report, the "-echo4" text with the status, then "{ready<N>}";
//   error     the same, with an error line and status 1;
//   nostatus  answers without the "-echo4" text (an ExifTool too old to know it);
//   wait      answers once the file "go" exists, as "error" when it says so;
//   die       exits without answering;
//   hang      records its pid in "hung" and sleeps without answering.
// Started otherwise it is the one-shot run: it logs its arguments to "oneshot" and writes the
// report; when the file "linger" exists it first waits on a child, whose pid goes to "child".
// "starts" gets a line per kept process started, "closed" is written when it is asked to end.
// A photo named "*.bin" gets binary output instead of a report, as "-b" gives it: line breaks,
// a NUL byte, a line that looks like the end marker of request 1, no line break at the end.
const QByteArray FakeExifTool = R"SH(PATH=/usr/bin:/bin
dir=${0%/*}
report() { printf -- '---- ExifTool ----\n---- System ----\nFile Name : %s\n' "${1##*/}" > "${1%.*}.txt"; }
output() { case $1 in *.bin) printf 'A\n{ready1}\nB\000\n\nC' ;; *) report "$1"; echo "    1 output files created" ;; esac; }
enter() { mkdir "$dir/lock" 2>/dev/null || echo overlap >> "$dir/overlaps"; }
leave() { rmdir "$dir/lock"; }
if [ "$1" != "-stay_open" ]; then
  enter
  printf '%s\n' "$@" >> "$dir/oneshot"
  for last; do :; done
  [ -f "$dir/slow" ] && sleep 0.2
  if [ -f "$dir/linger" ]; then sleep 60 & echo $! > "$dir/child"; wait; fi
  output "$last"
  leave
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
        hang) echo $$ > "$dir/hung"; sleep 60; exit 0 ;;
        wait) while [ ! -f "$dir/go" ]; do sleep 0.05; done; [ "$(cat "$dir/go")" = error ] && mode=error ;;
      esac
      enter
      [ -f "$dir/slow" ] && sleep 0.2
      output "$photo"
      status=0
      if [ "$mode" = error ]; then echo "Error: something about $photo" >&2; status=1; fi
      leave
      [ "$mode" = nostatus ] || printf '%s\n' "$echo4" | sed "s/\${status}/$status/" >&2
      echo "{ready$n}" ;;
    -echo4) wantEcho=1 ;;
    False) [ "$previous" = "-stay_open" ] && { : > "$dir/closed"; exit 0; } ;;
    *) if [ -n "$wantEcho" ]; then echo4=$line; wantEcho=; else photo=$line; fi ;;
  esac
  previous=$line
done
)SH";

const QByteArray BinaryOutput("A\n{ready1}\nB\0\n\nC", 16);

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

// A zombie waiting for its parent counts as gone.
bool alive(const QByteArray &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.trimmed())));
    if (pid.trimmed().isEmpty() || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

ExifToolJob job(const QStringList &arguments)
{
    ExifToolJob job;
    job.arguments = arguments;
    return job;
}

QStringList args(const QString &photo, const QString &lang = QStringLiteral("de"))
{
    return ExifToolCommand::arguments(lang, false, photo);
}

QStringList withoutKey(QStringList arguments)
{
    arguments.removeAll(QStringLiteral("-k"));
    return arguments;
}

} // namespace

// PATH holds only the temporary folder, so that no terminal emulator or ExifTool of the
// machine takes part unless a test asks for it.
class TestExifToolService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void oneShotReceivesTheArgumentList();
    void keptProcessServesRequestsInTurn();
    void outcomes_data();
    void outcomes();
    void fallsBackAndRestarts_data();
    void fallsBackAndRestarts();
    void argumentsTheFileCannotCarry_data();
    void argumentsTheFileCannotCarry();
    void pathWithNewlineGoesOneShot();
    void finishedOnceInOrderWithoutOverlap();
    void backgroundJobsWait();
    void cancel();
    void startsBeforeTheEventLoop();
    void takesOverTheLaunchersRun_data();
    void takesOverTheLaunchersRun();
    void abortAllKillsTheWholeGroup_data();
    void abortAllKillsTheWholeGroup();
    void receiverMayDestroyTheService();
    void destructionEndsTheKeptProcessPolitely();
    void capturedOutput_data();
    void capturedOutput();
    void visibleRuns_data();
    void visibleRuns();

    void realExifToolGivesTheSameResult_data();
    void realExifToolGivesTheSameResult();
    void realExifToolFailuresGiveTheSameMessage_data();
    void realExifToolFailuresGiveTheSameMessage();

private:
    QString fake();
    QString file(const QString &name) const { return m_dir->filePath(name); }
    void touch(const QString &name) { QVERIFY(Files::write(file(name), QByteArray())); }
    void setMode(const QByteArray &mode) { QVERIFY(Files::write(file(QStringLiteral("mode")), mode)); }
    QStringList lines(const QString &name) const;
    QString realExifToolWrapper();

    QTemporaryDir *m_dir = nullptr;
    QByteArray m_path;
    QString m_realExifTool;
    QString m_photo;
    QString m_report;
};

// Runs one job on an otherwise idle service and waits for its outcome.
static bool runJob(ExifToolService &service, const ExifToolJob &job, ExifToolOutcome *outcome)
{
    QSignalSpy spy(&service, &ExifToolService::finished);
    const int id = service.request(job);
    if (!spy.isEmpty() || !spy.wait(30000) || spy.size() != 1 || spy.at(0).at(0).toInt() != id)
        return false;
    *outcome = spy.at(0).at(1).value<ExifToolOutcome>();
    return true;
}

void TestExifToolService::initTestCase()
{
    m_path = qgetenv("PATH");
    m_realExifTool = TestPhotos::exiftool();
}

void TestExifToolService::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    qputenv("PATH", QFile::encodeName(m_dir->path()));
    m_photo = file(QStringLiteral("Bild.jpg"));
    QVERIFY(ReportPath::forPhoto(m_photo, &m_report));
}

void TestExifToolService::cleanup()
{
    qputenv("PATH", m_path);
    delete m_dir;
    m_dir = nullptr;
}

QString TestExifToolService::fake()
{
    const QString path = file(QStringLiteral("exiftool"));
    if (!QFileInfo::exists(path) && !Files::writeScript(path, FakeExifTool))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QStringList TestExifToolService::lines(const QString &name) const
{
    const QString text = QString::fromUtf8(Files::read(file(name)));
    return text.isEmpty() ? QStringList() : text.chopped(1).split(QLatin1Char('\n'));
}

// The real ExifTool behind a script that logs which way it was started, so that a test can
// tell a kept answer from a silent fall-back to a one-shot run.
QString TestExifToolService::realExifToolWrapper()
{
    const QString path = file(QStringLiteral("exiftool"));
    const QByteArray body = "if [ \"$1\" = -stay_open ]; then echo kept; else echo oneshot; fi >> \"${0%/*}/runs\"\n"
                            "exec '" +
                            QFile::encodeName(m_realExifTool) + "' \"$@\"\n";
    if (!Files::writeScript(path, body))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestExifToolService::oneShotReceivesTheArgumentList()
{
    ExifToolService service;
    service.setKeepRunning(false);
    service.setProgram(fake());
    // Handed over without a shell: nothing in the name is expanded, split or quoted.
    const QString photo = file(QStringLiteral("Bild $(id) 'a' \"b\" ;|&* $HOME.jpg"));
    const QStringList arguments = ExifToolCommand::arguments(QStringLiteral("de"), true, photo);
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, job(arguments), &outcome));
    QVERIFY(outcome.started && !outcome.crashed && !outcome.aborted && !outcome.noTerminal);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.program, fake());
    QVERIFY(outcome.output.isEmpty());
    // "-k" would wait for a key nobody can press in a hidden run.
    QCOMPARE(lines(QStringLiteral("oneshot")), withoutKey(arguments));
    QCOMPARE(lines(QStringLiteral("starts")), QStringList());
}

void TestExifToolService::keptProcessServesRequestsInTurn()
{
    setMode("answer");
    const QString second = file(QStringLiteral("Zweites Bild.jpg"));
    ExifToolService service;
    service.setProgram(fake());
    QSignalSpy busy(&service, &ExifToolService::busyChanged);
    QSignalSpy done(&service, &ExifToolService::finished);
    service.warmUp();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file(QStringLiteral("starts"))), 10000);

    const int first = service.request(job(args(m_photo)));
    const int next = service.request(job(ExifToolCommand::arguments(QStringLiteral("en"), true, second)));
    QCOMPARE(first, 1);
    QCOMPARE(next, 2);
    QVERIFY(service.isBusy());
    QCOMPARE(service.pending(), (QList<int>{1, 2}));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 20000);
    QCOMPARE(done.at(0).at(0).toInt(), first);
    QCOMPARE(done.at(1).at(0).toInt(), next);
    for (const QList<QVariant> &signal : std::as_const(done)) {
        const ExifToolOutcome outcome = signal.at(1).value<ExifToolOutcome>();
        QVERIFY(outcome.started && !outcome.aborted && !outcome.crashed);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.program, fake());
    }
    QVERIFY(QFileInfo::exists(m_report));
    QCOMPARE(lines(QStringLiteral("starts")), QStringList{QStringLiteral("-stay_open True -@ -")});
    QCOMPARE(lines(QStringLiteral("oneshot")), QStringList());
    const QStringList expected =
        args(m_photo) +
        QStringList{QStringLiteral("-echo4"), QStringLiteral("{status1 ${status}}"), QStringLiteral("-execute1")} +
        args(second, QStringLiteral("en")) +
        QStringList{QStringLiteral("-echo4"), QStringLiteral("{status2 ${status}}"), QStringLiteral("-execute2")};
    QCOMPARE(lines(QStringLiteral("received")), expected);
    QTRY_COMPARE_WITH_TIMEOUT(busy.size(), 2, 30000);
    QCOMPARE(busy.at(0).at(0).toBool(), true);
    QCOMPARE(busy.at(1).at(0).toBool(), false);
    QVERIFY(service.pending().isEmpty());
}

void TestExifToolService::outcomes_data()
{
    QTest::addColumn<QString>("kind"); // "script", "missing", "plain" (not executable), "none" (no ExifTool)
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("crashed");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorOutput");
    QTest::addColumn<QString>("message"); // a part of PhotoSession::describeFailure()'s text

    const QByteArray failing =
        "echo 'Error: File not found - Bild.jpg' >&2\necho '1 files could not be read'\nexit 1\n";
    // A broken ExifTool breaks the kept process too: the caller sees what a one-shot run gives.
    for (const bool keep : {false, true}) {
        const QByteArray way = keep ? " (kept)" : " (one-shot)";
        QTest::newRow("exit code and error text" + way)
            << "script" << failing << keep << true << false << 1 << "Error: File not found - Bild.jpg"
            << "exit code 1";
        QTest::newRow("crash" + way) << "script" << QByteArray("kill -SEGV $$\n") << keep << true << true << -1
                                     << QString() << "crashed";
        QTest::newRow("success without a report" + way)
            << "script" << QByteArray("exit 0\n") << keep << true << false << 0 << QString() << "ended without writing";
        QTest::newRow("missing" + way) << "missing" << QByteArray() << keep << false << false << -1 << QString()
                                       << "could not be started";
        QTest::newRow("not executable" + way)
            << "plain" << QByteArray() << keep << false << false << -1 << QString() << "could not be started";
    }
    QTest::newRow("no ExifTool anywhere")
        << "none" << QByteArray() << true << false << false << -1 << "ExifTool was not found."
        << "not found";
}

void TestExifToolService::outcomes()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, script);
    QFETCH(bool, keep);
    QFETCH(bool, started);
    QFETCH(bool, crashed);
    QFETCH(int, exitCode);
    QFETCH(QString, errorOutput);
    QFETCH(QString, message);

    QString program;
    if (kind == QLatin1String("script")) {
        program = file(QStringLiteral("exiftool"));
        QVERIFY(Files::writeScript(program, script));
    } else if (kind == QLatin1String("missing")) {
        program = file(QStringLiteral("nowhere/exiftool"));
    } else if (kind == QLatin1String("plain")) {
        program = file(QStringLiteral("exiftool"));
        QVERIFY(Files::write(program, "#!/bin/sh\n"));
    }
    ExifToolService service;
    service.setProgram(program);
    service.setKeepRunning(keep);
    service.warmUp();
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, job(args(m_photo)), &outcome));
    QCOMPARE(outcome.started, started);
    QCOMPARE(outcome.crashed, crashed);
    QVERIFY(!outcome.aborted);
    QCOMPARE(outcome.exitCode, exitCode);
    QCOMPARE(outcome.program, program);
    if (!errorOutput.isNull())
        QCOMPARE(outcome.errorOutput, errorOutput);
    const QString text = PhotoSession::describeFailure(outcome, m_photo, m_report);
    QVERIFY2(text.contains(message), qPrintable(text));
    QVERIFY2(text.contains(m_photo), qPrintable(text));
}

void TestExifToolService::fallsBackAndRestarts_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("killed"); // the kept process had to be ended by us
    QTest::newRow("dies mid-request") << QByteArray("die") << false;
    QTest::newRow("hangs past the time limit") << QByteArray("hang") << true;
    QTest::newRow("answers with an error") << QByteArray("error") << false;
    QTest::newRow("answers without a status") << QByteArray("nostatus") << false;
}

void TestExifToolService::fallsBackAndRestarts()
{
    QFETCH(QByteArray, mode);
    QFETCH(bool, killed);
    setMode(mode);
    ExifToolService service;
    service.setProgram(fake());
    service.setTimeLimit(300);
    service.warmUp();
    // The limit is meant for the request, not for the start of the fake.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file(QStringLiteral("starts"))), 10000);

    // The hanging fake sleeps for a minute: only the time limit ends this wait in time.
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, job(args(m_photo)), &outcome));
    QVERIFY(outcome.started && !outcome.aborted);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("oneshot")), args(m_photo)); // the request was run once more, one-shot
    QVERIFY(QFileInfo::exists(m_report));
    if (killed) {
        const QByteArray hung = Files::read(file(QStringLiteral("hung")));
        QVERIFY(!hung.trimmed().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!alive(hung), 30000);
    }

    // A fresh kept process serves the next request. The short limit has done its part: a busy
    // machine may well take longer than that to answer, and must not count as a hang here.
    service.setTimeLimit(ExifToolService::DefaultTimeLimit);
    setMode("answer");
    QVERIFY(QFile::remove(m_report));
    QVERIFY(runJob(service, job(args(m_photo, QStringLiteral("en"))), &outcome));
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(QFileInfo::exists(m_report));
    QCOMPARE(lines(QStringLiteral("starts")).size(), 2);
    QCOMPARE(lines(QStringLiteral("oneshot")).size(), args(m_photo).size());
    // The fresh process counts its requests anew.
    QCOMPARE(lines(QStringLiteral("received")).filter(QStringLiteral("-execute")),
             (QStringList{QStringLiteral("-execute1"), QStringLiteral("-execute1")}));
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("overlaps"))));
}

void TestExifToolService::argumentsTheFileCannotCarry_data()
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

void TestExifToolService::argumentsTheFileCannotCarry()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fits);
    QCOMPARE(KeptExifTool::fitsArgumentFile(arguments), fits);
}

void TestExifToolService::pathWithNewlineGoesOneShot()
{
    setMode("answer");
    const QString photo = file(QStringLiteral("Zeile\nBild.jpg"));
    QString report;
    QVERIFY(ReportPath::forPhoto(photo, &report));
    ExifToolService service;
    service.setProgram(fake());
    service.warmUp();
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, job(args(photo)), &outcome));
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("received")), QStringList());
    QCOMPARE(lines(QStringLiteral("oneshot")).last(), QStringLiteral("Bild.jpg")); // the path's second line
    QVERIFY(QFileInfo::exists(report));
    QCOMPARE(lines(QStringLiteral("starts")).size(), 1); // the kept process is fine and stays for the next photo
}

void TestExifToolService::finishedOnceInOrderWithoutOverlap()
{
    setMode("answer");
    touch(QStringLiteral("slow"));
    ExifToolService service;
    service.setProgram(fake());
    service.warmUp();
    QList<int> requested;
    QList<int> delivered;
    connect(&service, &ExifToolService::finished, this, [&](int id) {
        delivered << id;
        // A request made from inside the signal joins the end of the queue.
        if (delivered.size() == 1)
            requested << service.request(job(args(file(QStringLiteral("Nachzügler.jpg")))));
    });
    // Kept and one-shot runs mixed (a path with a line break cannot go to the kept process),
    // the later ones asked for while the first one is at work.
    requested << service.request(job(args(file(QStringLiteral("Eins.jpg")))));
    QCOMPARE(delivered, QList<int>());
    QTRY_VERIFY_WITH_TIMEOUT(lines(QStringLiteral("received")).contains(QStringLiteral("-execute1")), 10000);
    for (const QString &name : {QStringLiteral("Zwei\n.jpg"), QStringLiteral("Drei.jpg"), QStringLiteral("Vier\n.jpg")})
        requested << service.request(job(args(file(name))));
    QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 5, 30000);
    QCOMPARE(requested, (QList<int>{1, 2, 3, 4, 5}));
    // Once every job is over, nothing more is delivered: a last job's outcome comes next.
    const int last = service.request(job(args(m_photo)));
    QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 6, 20000);
    QCOMPARE(delivered, (QList<int>{1, 2, 3, 4, 5, last}));
    // The two paths with a line break, each logged on one line more.
    QCOMPARE(lines(QStringLiteral("oneshot")).size(), 2 * (args(m_photo).size() + 1));
    QVERIFY2(!QFileInfo::exists(file(QStringLiteral("overlaps"))), "two runs worked at once");
}

void TestExifToolService::backgroundJobsWait()
{
    ExifToolService service;
    service.setKeepRunning(false);
    service.setProgram(fake());
    QList<int> delivered;
    int deliveredWhenIdleForUser = -1;
    connect(&service, &ExifToolService::finished, this, [&](int id) { delivered << id; });
    connect(&service, &ExifToolService::busyChanged, this, [&](bool busy) {
        if (!busy)
            deliveredWhenIdleForUser = int(delivered.size());
    });
    QSignalSpy busy(&service, &ExifToolService::busyChanged);

    ExifToolJob preparing = job(args(file(QStringLiteral("Nächstes.jpg"))));
    preparing.background = true;
    const int background = service.request(preparing);
    QVERIFY(!service.isBusy());
    const int first = service.request(job(args(m_photo)));
    const int second = service.request(job(args(file(QStringLiteral("Anderes.jpg")))));
    QVERIFY(service.isBusy());
    QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 3, 20000);
    QCOMPARE(delivered, (QList<int>{first, second, background}));
    QTRY_COMPARE_WITH_TIMEOUT(busy.size(), 2, 30000);
    QCOMPARE(busy.at(0).at(0).toBool(), true);
    QCOMPARE(deliveredWhenIdleForUser, 2); // the background job does not keep the user waiting

    // Work nobody waits for never shows as busy.
    QTRY_VERIFY_WITH_TIMEOUT(service.pending().isEmpty(), 30000);
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, preparing, &outcome));
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(busy.size(), 2);
}

void TestExifToolService::cancel()
{
    ExifToolService service;
    service.setKeepRunning(false);
    service.setProgram(fake());
    QSignalSpy done(&service, &ExifToolService::finished);
    touch(QStringLiteral("linger"));
    const int running = service.request(job(args(m_photo)));
    const int queued = service.request(job(args(file(QStringLiteral("Zwei.jpg")))));
    const int dropped = service.request(job(args(file(QStringLiteral("Drei.jpg")))));
    service.cancel(dropped);
    QCOMPARE(service.pending(), (QList<int>{running, queued}));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file(QStringLiteral("child"))), 10000);
    const QByteArray child = Files::read(file(QStringLiteral("child")));
    // Ids that name no request waiting or running (unknown, or dropped already) touch nothing.
    service.cancel(dropped);
    service.cancel(4711);
    QCOMPARE(service.pending(), (QList<int>{running, queued}));
    QVERIFY(alive(child));
    QVERIFY(QFile::remove(file(QStringLiteral("linger"))));
    service.cancel(running);
    QCOMPARE(done.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 20000);
    QCOMPARE(done.at(0).at(0).toInt(), running);
    const ExifToolOutcome cancelled = done.at(0).at(1).value<ExifToolOutcome>();
    QVERIFY(cancelled.aborted && !cancelled.crashed);
    QVERIFY(PhotoSession::describeFailure(cancelled, m_photo, m_report).contains(QStringLiteral("stopped")));
    QTRY_VERIFY_WITH_TIMEOUT(!alive(child), 30000); // the whole group, not only the shell
    QCOMPARE(done.at(1).at(0).toInt(), queued);
    QCOMPARE(done.at(1).at(1).value<ExifToolOutcome>().exitCode, 0);
    QCOMPARE(lines(QStringLiteral("oneshot")).size(), 2 * args(m_photo).size()); // "Drei.jpg" never ran
    // A finished request cancelled afterwards is not delivered again, nor does it stop the next.
    service.cancel(queued);
    const int next = service.request(job(args(file(QStringLiteral("Vier.jpg")))));
    service.cancel(running);
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 3, 30000);
    QCOMPARE(done.at(2).at(0).toInt(), next);
    QVERIFY(!done.at(2).at(1).value<ExifToolOutcome>().aborted);
    done.removeLast();

    // A request the kept process works on is left to end and reported as it ended.
    setMode("wait");
    service.setKeepRunning(true);
    service.warmUp();
    const int kept = service.request(job(args(m_photo)));
    QTRY_VERIFY_WITH_TIMEOUT(lines(QStringLiteral("received")).contains(QStringLiteral("-execute1")), 10000);
    service.cancel(kept);
    touch(QStringLiteral("go"));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 3, 20000);
    QCOMPARE(done.at(2).at(0).toInt(), kept);
    const ExifToolOutcome answered = done.at(2).at(1).value<ExifToolOutcome>();
    QVERIFY(!answered.aborted);
    QCOMPARE(answered.exitCode, 0);

    // Should its answer not be trustworthy, nobody waits for a one-shot run any more: it
    // would only write a report behind the caller's back.
    QVERIFY(QFile::remove(file(QStringLiteral("go"))));
    const int failing = service.request(job(args(m_photo)));
    QTRY_VERIFY_WITH_TIMEOUT(lines(QStringLiteral("received")).contains(QStringLiteral("-execute2")), 10000);
    service.cancel(failing);
    QVERIFY(Files::write(file(QStringLiteral("go")), "error"));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 4, 20000);
    QCOMPARE(done.at(3).at(0).toInt(), failing);
    QVERIFY(done.at(3).at(1).value<ExifToolOutcome>().aborted);
    QCOMPARE(lines(QStringLiteral("oneshot")).size(), 3 * args(m_photo).size());
}

// Waits without an event loop, as the program does before its application object exists.
static bool holdsWithoutEvents(const std::function<bool()> &condition)
{
    QDeadlineTimer deadline(30000);
    while (!condition() && !deadline.hasExpired())
        QThread::msleep(10);
    return condition();
}

void TestExifToolService::startsBeforeTheEventLoop()
{
    setMode("answer");
    ExifToolService service;
    service.setProgram(fake());
    QSignalSpy done(&service, &ExifToolService::finished);
    service.warmUp();
    ExifToolJob preview = job({QStringLiteral("-b"), QStringLiteral("-k"), file(QStringLiteral("Vorschau.bin"))});
    preview.captureOutput = true;
    const int first = service.request(preview);
    service.startBeforeEventLoop();
    QVERIFY(holdsWithoutEvents([&] { return lines(QStringLiteral("oneshot")) == withoutKey(preview.arguments); }));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 30000);
    QCOMPARE(done.at(0).at(0).toInt(), first);
    const ExifToolOutcome outcome = done.at(0).at(1).value<ExifToolOutcome>();
    QVERIFY(outcome.started && !outcome.aborted && !outcome.crashed);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.output, BinaryOutput);
    // The kept process loads only once the first ExifTool is done, and serves what comes next.
    QTRY_COMPARE_WITH_TIMEOUT(lines(QStringLiteral("starts")).size(), 1, 30000);
    ExifToolOutcome next;
    QVERIFY(runJob(service, job(args(m_photo)), &next));
    QCOMPARE(next.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("oneshot")).size(), preview.arguments.size() - 1);

    // Nobody waits for it any more: its whole group ends, and it is reported as stopped.
    touch(QStringLiteral("linger"));
    const int cancelled = service.request(job(args(file(QStringLiteral("Zwei.jpg")))));
    service.startBeforeEventLoop();
    QVERIFY(holdsWithoutEvents([&] { return Files::read(file(QStringLiteral("child"))).endsWith('\n'); }));
    const QByteArray child = Files::read(file(QStringLiteral("child")));
    QVERIFY(alive(child));
    service.cancel(cancelled);
    QTRY_VERIFY_WITH_TIMEOUT(!alive(child), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 3, 30000);
    QCOMPARE(done.at(2).at(0).toInt(), cancelled);
    QVERIFY(done.at(2).at(1).value<ExifToolOutcome>().aborted);
}

// The ExifTool the launcher started on the command line's photo is taken over where the
// window asks the same of it, and ended, with its whole group, where the window asks otherwise.
void TestExifToolService::takesOverTheLaunchersRun_data()
{
    QTest::addColumn<QString>("launcherLanguage");
    QTest::newRow("the same request") << "de";
    QTest::newRow("another language") << "fr";
}

void TestExifToolService::takesOverTheLaunchersRun()
{
    QFETCH(QString, launcherLanguage);
    const bool same = launcherLanguage == QLatin1String("de");
    setMode("answer");
    ExifToolService service;
    service.setProgram(fake());
    QSignalSpy done(&service, &ExifToolService::finished);
    EarlyHandover handed;
    handed.ask = {ExifToolAsk::Kind::Report, m_photo, launcherLanguage};
    handed.exiftool = fake();
    const QStringList launcherArguments = withoutKey(ExifToolCommand::forAsk(handed.ask));
    // One that the window does not take over is still running when it is ended.
    if (!same)
        touch(QStringLiteral("linger"));
    handed.run = EarlyExifTool::spawn(fake(), launcherArguments);
    QVERIFY(handed.run.valid());
    // It is at work by the time the window asks.
    QVERIFY(holdsWithoutEvents([&] { return lines(QStringLiteral("oneshot")) == launcherArguments; }));
    if (!same) {
        QVERIFY(holdsWithoutEvents([&] { return Files::read(file(QStringLiteral("child"))).endsWith('\n'); }));
        QVERIFY(QFile::remove(file(QStringLiteral("linger"))));
    }
    const ExifToolJob asked = ExifToolJob::asking({ExifToolAsk::Kind::Report, m_photo, QStringLiteral("de")});
    const int id = service.request(asked);
    service.startBeforeEventLoop(&handed);
    QVERIFY(!handed.run.valid());
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 30000);
    QCOMPARE(done.at(0).at(0).toInt(), id);
    const ExifToolOutcome outcome = done.at(0).at(1).value<ExifToolOutcome>();
    QVERIFY(outcome.started && !outcome.aborted && !outcome.crashed);
    QCOMPARE(outcome.exitCode, 0);
    // Taken over, it is the only run; otherwise the window's own follows the launcher's.
    QCOMPARE(lines(QStringLiteral("oneshot")),
             same ? launcherArguments : launcherArguments + withoutKey(asked.arguments));
    if (!same)
        QVERIFY(!alive(Files::read(file(QStringLiteral("child")))));
}

void TestExifToolService::abortAllKillsTheWholeGroup_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("pidFile");
    QTest::newRow("one-shot") << "one-shot"
                              << "child";
    QTest::newRow("kept") << "kept"
                          << "hung";
    QTest::newRow("in a terminal") << "terminal"
                                   << "child";
}

void TestExifToolService::abortAllKillsTheWholeGroup()
{
    QFETCH(QString, way);
    QFETCH(QString, pidFile);
    setMode("hang");
    touch(QStringLiteral("linger"));
    ExifToolService service;
    service.setProgram(fake());
    service.setKeepRunning(way == QLatin1String("kept"));
    service.warmUp();
    ExifToolJob running = job(ExifToolCommand::arguments(QStringLiteral("de"), true, m_photo));
    if (way == QLatin1String("terminal")) {
        QVERIFY(Files::writeScript(file(QStringLiteral("xterm")), "[ \"$1\" = -e ] && shift\nexec \"$@\"\n"));
        running.visible = true;
    }
    QSignalSpy done(&service, &ExifToolService::finished);
    service.request(running);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file(pidFile)), 10000);
    const QByteArray pid = Files::read(file(pidFile));
    QVERIFY(alive(pid));
    QSignalSpy busy(&service, &ExifToolService::busyChanged);
    service.abortAll();
    QVERIFY(service.pending().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!busy.isEmpty() && !busy.last().at(0).toBool(),
                             30000); // the busy pointer is not left behind
    QTRY_VERIFY_WITH_TIMEOUT(!alive(pid), 30000);

    // No outcome follows for the aborted job; the service serves the next one.
    QVERIFY(QFile::remove(file(QStringLiteral("linger"))));
    service.setKeepRunning(false);
    const int next = service.request(job(args(file(QStringLiteral("Danach.jpg")))));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);
    QCOMPARE(done.at(0).at(0).toInt(), next);
    QVERIFY(!QFileInfo::exists(m_report));
}

void TestExifToolService::receiverMayDestroyTheService()
{
    setMode("answer");
    auto *service = new ExifToolService;
    QPointer<ExifToolService> guard(service);
    service->setProgram(fake());
    service->warmUp();
    int delivered = 0;
    connect(service, &ExifToolService::finished, this, [&] {
        ++delivered;
        delete service;
    });
    service->request(job(args(m_photo)));
    service->request(job(args(file(QStringLiteral("Zwei.jpg")))));
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 20000);
    QCOMPARE(delivered, 1);
}

void TestExifToolService::destructionEndsTheKeptProcessPolitely()
{
    setMode("answer");
    {
        ExifToolService service;
        service.setProgram(fake());
        ExifToolOutcome outcome;
        service.warmUp();
        QVERIFY(runJob(service, job(args(m_photo)), &outcome));
        QCOMPARE(outcome.exitCode, 0);
    }
    QVERIFY2(QFileInfo::exists(file(QStringLiteral("closed"))), "was killed instead of being asked to end");
    const QStringList received = lines(QStringLiteral("received"));
    QCOMPARE(received.mid(received.size() - 2), (QStringList{QStringLiteral("-stay_open"), QStringLiteral("False")}));
}

void TestExifToolService::capturedOutput_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("kept") << true;
    QTest::newRow("one-shot") << false;
}

void TestExifToolService::capturedOutput()
{
    QFETCH(bool, keep);
    setMode("answer");
    ExifToolService service;
    service.setProgram(fake());
    service.setKeepRunning(keep);
    service.warmUp();
    ExifToolJob preview =
        job({QStringLiteral("-b"), QStringLiteral("-PreviewImage"), file(QStringLiteral("Vorschau.bin"))});
    preview.captureOutput = true;
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, preview, &outcome));
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.output, BinaryOutput);
    QCOMPARE(lines(QStringLiteral("oneshot")).isEmpty(), keep);

    preview.captureOutput = false;
    QVERIFY(runJob(service, preview, &outcome));
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.output, QByteArray());
}

void TestExifToolService::visibleRuns_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::newRow("in a terminal") << true;
    QTest::newRow("no terminal installed") << false;
}

void TestExifToolService::visibleRuns()
{
    QFETCH(bool, terminal);
    const QString xterm = file(QStringLiteral("xterm"));
    if (terminal)
        QVERIFY(Files::writeScript(xterm, "[ \"$1\" = -e ] && shift\nexec \"$@\"\n"));
    const QStringList arguments = ExifToolCommand::arguments(QStringLiteral("de"), true, m_photo);
    QCOMPARE(terminalCommand(fake(), arguments),
             terminal ? QStringList({xterm, QStringLiteral("-e"), fake()}) + arguments : QStringList());

    ExifToolService service;
    service.setKeepRunning(false);
    service.setProgram(fake());
    ExifToolJob shown = job(arguments);
    shown.visible = true;
    ExifToolOutcome outcome;
    QVERIFY(runJob(service, shown, &outcome));
    QVERIFY(outcome.started);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.program, fake());
    QCOMPARE(outcome.noTerminal, !terminal);
    // In a terminal the user can press the key "-k" waits for; hidden, nobody could.
    QCOMPARE(lines(QStringLiteral("oneshot")), terminal ? arguments : withoutKey(arguments));
    QVERIFY(QFileInfo::exists(m_report));
}

void TestExifToolService::realExifToolGivesTheSameResult_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("German") << QStringLiteral("de") << QStringLiteral("Urlaub Müller.jpg");
    QTest::newRow("English") << QStringLiteral("en") << QStringLiteral("holiday #1.jpg");
}

void TestExifToolService::realExifToolGivesTheSameResult()
{
    QFETCH(QString, lang);
    QFETCH(QString, fileName);
    if (m_realExifTool.isEmpty())
        QSKIP("exiftool is not installed");
    qputenv("PATH", m_path);
    const QString photo = file(fileName);
    QString report;
    QVERIFY(ReportPath::forPhoto(photo, &report));
    QVERIFY(TestPhotos::makeCameraPhoto(photo));
    // What "-b" prints has no line break at the end.
    ExifToolJob artist = job({QStringLiteral("-b"), QStringLiteral("-Artist"), photo});
    artist.captureOutput = true;

    ExifToolService oneShot;
    oneShot.setKeepRunning(false);
    oneShot.setProgram(m_realExifTool);
    ExifToolOutcome outcome;
    QVERIFY(runJob(oneShot, job(args(photo, lang)), &outcome));
    QCOMPARE(outcome.exitCode, 0);
    const QByteArray expected = Files::read(report);
    QVERIFY(expected.startsWith("---- ExifTool ----"));
    QVERIFY(QFile::remove(report));
    QVERIFY(runJob(oneShot, artist, &outcome));
    QCOMPARE(outcome.output, QString::fromUtf8("Jürgen Müller").toUtf8());

    ExifToolService kept;
    kept.setProgram(realExifToolWrapper());
    kept.warmUp();
    // Twice through the same process: the second request must not inherit the first one's state.
    for (const QString &language : {lang == QStringLiteral("de") ? QStringLiteral("en") : QStringLiteral("de"), lang}) {
        QVERIFY(runJob(kept, job(args(photo, language)), &outcome));
        QCOMPARE(outcome.exitCode, 0);
    }
    QCOMPARE(withoutAccessTime(Files::read(report)), withoutAccessTime(expected));
    QVERIFY(runJob(kept, artist, &outcome));
    QCOMPARE(outcome.output, QString::fromUtf8("Jürgen Müller").toUtf8());
    QCOMPARE(lines(QStringLiteral("runs")), QStringList{QStringLiteral("kept")});
}

void TestExifToolService::realExifToolFailuresGiveTheSameMessage_data()
{
    QTest::addColumn<QByteArray>("content"); // what the photo file holds; null: no file at all
    QTest::addColumn<bool>("reported");      // ExifTool still writes a report
    QTest::newRow("missing photo: no report, status 1") << QByteArray() << false;
    QTest::newRow("empty photo: a report, status 1") << QByteArray("") << true;
}

void TestExifToolService::realExifToolFailuresGiveTheSameMessage()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, reported);
    if (m_realExifTool.isEmpty())
        QSKIP("exiftool is not installed");
    qputenv("PATH", m_path);
    if (!content.isNull())
        QVERIFY(Files::write(m_photo, content));

    ExifToolService oneShot;
    oneShot.setKeepRunning(false);
    oneShot.setProgram(m_realExifTool);
    ExifToolOutcome expected;
    QVERIFY(runJob(oneShot, job(args(m_photo)), &expected));
    QCOMPARE(QFileInfo::exists(m_report), reported);
    QFile::remove(m_report);

    ExifToolService kept;
    kept.setProgram(realExifToolWrapper());
    kept.warmUp();
    ExifToolOutcome outcome;
    QVERIFY(runJob(kept, job(args(m_photo)), &outcome));
    QCOMPARE(QFileInfo::exists(m_report), reported);
    QCOMPARE(outcome.exitCode, expected.exitCode);
    QCOMPARE(outcome.errorOutput, expected.errorOutput);
    outcome.program = expected.program; // the wrapper's name aside
    QCOMPARE(PhotoSession::describeFailure(outcome, m_photo, m_report),
             PhotoSession::describeFailure(expected, m_photo, m_report));

    // The kept process is still of use for the next, readable photo.
    QVERIFY(TestPhotos::makeJpeg(m_photo));
    QVERIFY(runJob(kept, job(args(m_photo)), &outcome));
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(lines(QStringLiteral("runs")), (QStringList{QStringLiteral("kept"), QStringLiteral("oneshot")}));
}

QTEST_GUILESS_MAIN(TestExifToolService)
#include "tst_exiftoolservice.moc"
