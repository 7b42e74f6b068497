#include "fixture_Files.h"

#include "pipeline/ExifToolCommand.h"
#include "pipeline/ExifToolRun.h"
#include "pipeline/ReportPath.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// A fake exiftool in a temporary program folder. PATH holds only that folder, so that no
// terminal emulator of the machine takes part unless a test puts a fake one there.
class TestExifToolRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void receivesTheArgumentList();
    void waitsUntilTheEnd();
    void secondRunIsRefused();
    void nonZeroExitWithErrorText();
    void crashIsReported();
    void missingProgram();
    void notFound();
    void abortEndsTheWholeGroup();
    void destroyedWhileRunning();
    void visibleRunInTerminal();
    void visibleWithoutTerminalDropsKey();

private:
    QString script(const QString &name, const QByteArray &body);

    QTemporaryDir *m_dir = nullptr;
    QByteArray m_path;
    QString m_photo;
    QString m_report;
};

void TestExifToolRun::init()
{
    m_dir = new QTemporaryDir;
    m_path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir->path()));
    m_photo = m_dir->filePath(QStringLiteral("Bild.jpg"));
    QVERIFY(ReportPath::forPhoto(m_photo, &m_report));
}

void TestExifToolRun::cleanup()
{
    qputenv("PATH", m_path);
    delete m_dir;
    m_dir = nullptr;
}

QString TestExifToolRun::script(const QString &name, const QByteArray &body)
{
    const QString path = m_dir->filePath(name);
    if (!Files::writeScript(path, body))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestExifToolRun::receivesTheArgumentList()
{
    const QString program = script(QStringLiteral("exiftool"),
                                   "printf '%s\\n' \"$@\" > \"${0%/*}/args\"\n"
                                   "for last; do :; done\n"
                                   "printf -- '---- ExifTool ----\\n---- System ----\\nFile Name : Bild.jpg\\n' "
                                   "> \"${last%.*}.txt\"\n");
    ExifToolRun runner;
    const QStringList arguments = ExifToolCommand::arguments(QStringLiteral("de"), false, m_photo);
    const ExifToolRun::Outcome outcome = runner.run(program, arguments, false);
    QVERIFY(outcome.started);
    QVERIFY(!outcome.crashed && !outcome.aborted);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.program, program);
    QCOMPARE(QString::fromUtf8(Files::read(m_dir->filePath(QStringLiteral("args")))).split(QLatin1Char('\n')),
             arguments + QStringList{QString()});
    QCOMPARE(describeFailure(outcome, m_photo, m_report), QString());
}

void TestExifToolRun::waitsUntilTheEnd()
{
    const QString marker = m_dir->filePath(QStringLiteral("finished"));
    const QString program = script(QStringLiteral("exiftool"), "/bin/sleep 0.3\n: > \"${0%/*}/finished\"\n");
    ExifToolRun runner;
    QSignalSpy running(&runner, &ExifToolRun::runningChanged);
    bool seenRunning = false;
    bool seenMarker = true;
    // Fires inside the wait: window events are processed while ExifTool works.
    QTimer::singleShot(50, &runner, [&] {
        seenRunning = runner.isRunning();
        seenMarker = QFileInfo::exists(marker);
    });
    const ExifToolRun::Outcome outcome = runner.run(program, {}, false);
    QVERIFY(seenRunning);
    QVERIFY2(!seenMarker, "the script ended before the timer; the wait was not observed");
    QVERIFY2(QFileInfo::exists(marker), "run() returned before the program had ended");
    QVERIFY(!runner.isRunning());
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(running.size(), 2);
    QCOMPARE(running.at(0).at(0).toBool(), true);
    QCOMPARE(running.at(1).at(0).toBool(), false);
}

void TestExifToolRun::secondRunIsRefused()
{
    const QString program = script(QStringLiteral("exiftool"), "/bin/sleep 0.3\necho run >> \"${0%/*}/runs\"\n");
    ExifToolRun runner;
    ExifToolRun::Outcome second;
    QTimer::singleShot(50, &runner, [&] { second = runner.run(program, {}, false); });
    const ExifToolRun::Outcome first = runner.run(program, {}, false);
    QVERIFY(first.started);
    QVERIFY(!second.started);
    QVERIFY(!second.errorOutput.isEmpty());
    QCOMPARE(Files::read(m_dir->filePath(QStringLiteral("runs"))), QByteArray("run\n"));
}

void TestExifToolRun::nonZeroExitWithErrorText()
{
    const QString program = script(QStringLiteral("exiftool"),
                                   "echo 'Error: File not found - Bild.jpg' >&2\necho '1 files could not be read'\n"
                                   "exit 1\n");
    ExifToolRun runner;
    const ExifToolRun::Outcome outcome =
        runner.run(program, ExifToolCommand::arguments(QStringLiteral("en"), false, m_photo), false);
    QVERIFY(outcome.started);
    QVERIFY(!outcome.crashed);
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.errorOutput, QStringLiteral("Error: File not found - Bild.jpg"));
    const QString message = describeFailure(outcome, m_photo, m_report);
    QVERIFY2(message.contains(m_photo), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("Error: File not found - Bild.jpg")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("exit code 1")), qPrintable(message));

    // Ending "well" without a report is a failure too.
    const QString quiet = script(QStringLiteral("quiet"), "exit 0\n");
    const ExifToolRun::Outcome silent = runner.run(quiet, {}, false);
    QCOMPARE(silent.exitCode, 0);
    QVERIFY(describeFailure(silent, m_photo, m_report).contains(m_photo));
}

void TestExifToolRun::crashIsReported()
{
    const QString program = script(QStringLiteral("exiftool"), "kill -SEGV $$\n");
    ExifToolRun runner;
    const ExifToolRun::Outcome outcome = runner.run(program, {}, false);
    QVERIFY(outcome.started);
    QVERIFY(outcome.crashed);
    const QString message = describeFailure(outcome, m_photo, m_report);
    QVERIFY(message.contains(QStringLiteral("crashed")));
    QVERIFY(message.contains(m_photo));
}

void TestExifToolRun::missingProgram()
{
    ExifToolRun runner;
    QSignalSpy running(&runner, &ExifToolRun::runningChanged);
    const QString program = m_dir->filePath(QStringLiteral("no-such/exiftool"));
    const ExifToolRun::Outcome outcome = runner.run(program, {QStringLiteral("-ver")}, false);
    QVERIFY(!outcome.started);
    QVERIFY(!runner.isRunning());
    QCOMPARE(running.size(), 2);
    const QString message = describeFailure(outcome, m_photo, m_report);
    QVERIFY2(message.contains(QStringLiteral("could not be started")), qPrintable(message));
    QVERIFY(message.contains(program));
    QVERIFY(message.contains(m_photo));

    // Present but not executable.
    const QString plain = m_dir->filePath(QStringLiteral("plain"));
    QVERIFY(Files::write(plain, "#!/bin/sh\n"));
    QVERIFY(!runner.run(plain, {}, false).started);
}

void TestExifToolRun::notFound()
{
    ExifToolRun runner;
    const ExifToolRun::Outcome outcome = runner.run(QString(), {}, false);
    QVERIFY(!outcome.started);
    const QString message = describeFailure(outcome, m_photo, m_report);
    QVERIFY2(message.contains(QStringLiteral("not found")), qPrintable(message));
    QVERIFY(message.contains(m_photo));
}

void TestExifToolRun::abortEndsTheWholeGroup()
{
    // The script waits on a child; killing only the shell would leave the child running.
    const QString program = script(QStringLiteral("exiftool"), "/bin/sleep 30 &\necho $! > \"${0%/*}/child\"\nwait\n");
    ExifToolRun runner;
    QTimer::singleShot(100, &runner, [&] { runner.abort(); });
    QElapsedTimer clock;
    clock.start();
    const ExifToolRun::Outcome outcome = runner.run(program, {}, false);
    QVERIFY(clock.elapsed() < 20000);
    QVERIFY(outcome.aborted);
    QVERIFY(!outcome.crashed);
    const QByteArray child = Files::read(m_dir->filePath(QStringLiteral("child"))).trimmed();
    QVERIFY(!child.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(child)), 5000);
    QVERIFY(describeFailure(outcome, m_photo, m_report).contains(QStringLiteral("stopped")));
}

void TestExifToolRun::destroyedWhileRunning()
{
    const QString program = script(QStringLiteral("exiftool"), "exec /bin/sleep 30\n");
    auto *runner = new ExifToolRun;
    QPointer<ExifToolRun> guard(runner);
    QTimer::singleShot(100, [runner] { delete runner; });
    QElapsedTimer clock;
    clock.start();
    const ExifToolRun::Outcome outcome = runner->run(program, {}, false);
    QVERIFY(guard.isNull());
    QVERIFY(outcome.aborted);
    QVERIFY(clock.elapsed() < 20000);
}

void TestExifToolRun::visibleRunInTerminal()
{
    const QString terminal = script(QStringLiteral("xterm"), "printf '%s\\n' \"$@\" > \"${0%/*}/terminal-args\"\n"
                                                             "[ \"$1\" = -e ] && shift\nexec \"$@\"\n");
    const QString program = script(QStringLiteral("exiftool"), "printf '%s\\n' \"$@\" > \"${0%/*}/args\"\n");
    const QStringList arguments = ExifToolCommand::arguments(QStringLiteral("de"), true, m_photo);
    QCOMPARE(ExifToolRun::terminalCommand(program, arguments),
             QStringList({terminal, QStringLiteral("-e"), program}) + arguments);

    ExifToolRun runner;
    const ExifToolRun::Outcome outcome = runner.run(program, arguments, true);
    QVERIFY(outcome.started);
    QCOMPARE(outcome.program, program);
    QVERIFY(arguments.contains(QStringLiteral("-k")));
    QCOMPARE(QString::fromUtf8(Files::read(m_dir->filePath(QStringLiteral("args")))).split(QLatin1Char('\n')),
             arguments + QStringList{QString()});
}

void TestExifToolRun::visibleWithoutTerminalDropsKey()
{
    const QString program = script(QStringLiteral("exiftool"), "printf '%s\\n' \"$@\" > \"${0%/*}/args\"\n");
    QVERIFY(ExifToolRun::terminalCommand(program, {}).isEmpty());
    ExifToolRun runner;
    const QStringList arguments = ExifToolCommand::arguments(QStringLiteral("de"), true, m_photo);
    QVERIFY(runner.run(program, arguments, true).started);
    QStringList expected = arguments;
    expected.removeAll(QStringLiteral("-k"));
    QCOMPARE(QString::fromUtf8(Files::read(m_dir->filePath(QStringLiteral("args")))).split(QLatin1Char('\n')),
             expected + QStringList{QString()});
}

QTEST_GUILESS_MAIN(TestExifToolRun)
#include "tst_exiftoolrun.moc"
