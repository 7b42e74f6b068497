#include "Processes.h"
#include "TestPhotos.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <sys/inotify.h>
#include <unistd.h>

// The program as a user's session ends it: a SIGTERM (logout, `kill`), SIGHUP or SIGINT closes
// the window the way "End" does, so the settings are stored, no report is left beside the photo
// and no ExifTool is left running, also while one of its boxes is open. A second signal during
// that closing ends the program at once.
namespace
{

// The process's state letter from /proc, or 0 when there is no such process. A zombie has
// ended; only nobody has collected it yet.
char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line.at(close + 2) : 0;
}

bool isRunning(qint64 pid)
{
    const char state = processState(pid);
    return state != 0 && state != 'Z' && state != 'X';
}

QByteArray commandLine(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return file.open(QIODevice::ReadOnly) ? file.readAll().replace('\0', ' ') : QByteArray();
}

// Running ExifTools that are children of `parent`, or whose command line names `path`.
QList<qint64> exifTools(qint64 parent, const QString &path)
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || !isRunning(pid))
            continue;
        const QByteArray command = commandLine(pid);
        if (!command.contains("exiftool"))
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        QByteArray line;
        if (stat.open(QIODevice::ReadOnly))
            line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        // One whose program is gone has no parent of the program's any more, but it still has
        // the session's folders in its environment.
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        const QByteArray inherited = environment.open(QIODevice::ReadOnly) ? environment.readAll() : QByteArray();
        if ((fields.size() > 1 && fields.at(1).toLongLong() == parent) || command.contains(path.toLocal8Bit()) ||
            inherited.contains(path.toLocal8Bit()))
            found.append(pid);
    }
    return found;
}

// Generous for a program under AddressSanitizer on a machine whose cores are taken.
constexpr int ProgramLimitMs = 120 * 1000;

// One run of the real program on a photo of its own, with settings of its own.
class Session
{
public:
    ~Session()
    {
        if (m_watch >= 0)
            ::close(m_watch);
    }

    // display empty: the offscreen platform.
    bool start(bool withPhoto, const QString &display)
    {
        photo = dir.filePath(QStringLiteral("ended.jpg"));
        report = dir.filePath(QStringLiteral("ended.txt"));
        if (withPhoto && !TestPhotos::makeCameraPhoto(photo))
            return false;
        m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watch < 0 ||
            ::inotify_add_watch(m_watch, QFile::encodeName(dir.path()).constData(), IN_CLOSE_NOWRITE) < 0)
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (display.isEmpty()) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        } else {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("DISPLAY"), display);
            // libxkbcommon-x11 hands strndup a buffer that is bounded but not terminated, which
            // AddressSanitizer's strict string checks (scripts/test-asan.sh) take for an overflow.
            if (env.contains(QStringLiteral("ASAN_OPTIONS")))
                env.insert(QStringLiteral("ASAN_OPTIONS"),
                           env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));
        }
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(LUMOSKOP_PROGRAM), {photo});
        if (!program.waitForStarted(ProgramLimitMs))
            return false;
        pid = program.processId();
        return true;
    }
    bool reportWritten() const { return QFile::exists(report) && QFileInfo(report).size() > 100; }
    // The program has read the report: it fills the list in the same step, so a signal sent
    // from now on is handled with the list filled. Nothing else opens the report to read it.
    bool reportRead()
    {
        alignas(inotify_event) char events[4096];
        ssize_t length = 0;
        while ((length = ::read(m_watch, events, sizeof events)) > 0) {
            for (const char *at = events; at < events + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                if (event->len > 0 && QFile::decodeName(event->name) == QFileInfo(report).fileName())
                    m_reportRead = true;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return m_reportRead;
    }
    bool settingsStored() const
    {
        // Only closing writes the window's size; starting merely reads it.
        QSettings stored(dir.filePath(QStringLiteral("config/Lumoskop/Lumoskop.conf")), QSettings::IniFormat);
        return stored.contains(QStringLiteral("Options/ExiftoolWidth"));
    }
    void signal(int number) { ::kill(pid_t(pid), number); }

    QTemporaryDir dir;
    QProcess program;
    QString photo;
    QString report;
    qint64 pid = 0;

private:
    int m_watch = -1;
    bool m_reportRead = false;
};

} // namespace

class tst_Termination : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void signalClosesLikeEnd_data();
    void signalClosesLikeEnd();
    void signalClosesEveryBox_data();
    void signalClosesEveryBox();
    void secondSignalEndsAtOnce();

private:
    QByteArray xdotool(const QStringList &arguments, int *exitCode = nullptr);
    QStringList visibleWindows(const QString &title);
    QString visibleWindow(const QString &title) { return visibleWindows(title).value(0); }

    QString m_display;
};

void tst_Termination::initTestCase()
{
    // The boxes need real input and real windows: the desktop this test runs on
    // (scripts/desktop-session.sh), with its window manager.
    m_display = qEnvironmentVariable("DISPLAY");
}

QByteArray tst_Termination::xdotool(const QStringList &arguments, int *exitCode)
{
    return Processes::run(QStringLiteral("xdotool"), arguments, exitCode);
}

QStringList tst_Termination::visibleWindows(const QString &title)
{
    const QByteArray ids =
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title});
    return QString::fromLatin1(ids).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void tst_Termination::signalClosesLikeEnd_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void tst_Termination::signalClosesLikeEnd()
{
    QFETCH(int, signalNumber);
    Session session;
    QVERIFY(session.start(true, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(session.reportWritten() && session.reportRead(), ProgramLimitMs);
    session.signal(signalNumber);
    QVERIFY2(session.program.waitForFinished(ProgramLimitMs), "the program did not end after the signal");
    QCOMPARE(session.program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(session.program.exitCode(), 0);
    QVERIFY(!QFile::exists(session.report));
    QVERIFY(QFile::exists(session.photo));
    QVERIFY(session.settingsStored());
}

void tst_Termination::signalClosesEveryBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");
    // The error box opens while the window is still being set up, the others from the
    // finished window.
    QTest::newRow("error box") << "error"
                               << "^Lumoskop$";
    QTest::newRow("copy question") << "copy"
                                   << "^Exif copy$";
    QTest::newRow("about window") << "about"
                                  << "";
    QTest::newRow("file dialog") << "file"
                                 << "^Foto auswählen$";
}

void tst_Termination::signalClosesEveryBox()
{
    QFETCH(QString, box);
    QFETCH(QString, title);
    if (m_display.isEmpty())
        QSKIP("needs Xvfb and xdotool (scripts/install-deps.sh --test)");
    Session session;
    QVERIFY(session.start(box != "error", m_display));
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = visibleWindow(QStringLiteral("^Lumoskop - Qwerin$"))).isEmpty(), 30000);
    if (box != "error") {
        QTRY_VERIFY_WITH_TIMEOUT(session.reportWritten() && session.reportRead(), ProgramLimitMs);
        // Designed places in the client area, below a menu bar of about 22 pixels; the
        // buttons are tall enough for a few pixels either way.
        const QByteArray geometry = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const int width =
            QRegularExpression(QStringLiteral("WIDTH=(\\d+)")).match(QString::fromLatin1(geometry)).captured(1).toInt();
        QVERIFY(width > 0);
        if (box == "copy") {
            xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("427"),
                     QStringLiteral("341"), QStringLiteral("click"), QStringLiteral("1")});
        } else if (box == "file") {
            xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(width - 23),
                     QStringLiteral("44"), QStringLiteral("click"), QStringLiteral("1")});
        } else {
            // Help, then, once its menu shows, its first item: "Info". Neither the menu nor the
            // untitled about window can be found by its name: each is the window that is new.
            const auto windows = [this] { return visibleWindows(QStringLiteral(".*")); };
            const QStringList before = windows();
            const auto added = [&](const QStringList &also) {
                QStringList now = windows();
                for (const QString &id : before + also)
                    now.removeAll(id);
                return now;
            };
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"),
                     QStringLiteral("--clearmodifiers"), QStringLiteral("alt+h")});
            QStringList menu;
            QTRY_VERIFY_WITH_TIMEOUT(!(menu = added({})).isEmpty(), 30000);
            xdotool({QStringLiteral("key"), QStringLiteral("Return")});
            QTRY_VERIFY_WITH_TIMEOUT(!added(menu).isEmpty(), 30000);
        }
    }
    if (box != "about")
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(title).isEmpty(), 30000);
    const QList<qint64> kept = exifTools(session.pid, session.dir.path());

    session.signal(SIGTERM);
    QVERIFY2(session.program.waitForFinished(ProgramLimitMs), "the program did not end after the signal");
    QCOMPARE(session.program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(session.program.exitCode(), 0);
    QVERIFY(session.settingsStored());
    QVERIFY(!QFile::exists(session.report));
    for (qint64 pid : kept)
        QTRY_VERIFY_WITH_TIMEOUT(!isRunning(pid), 30000);
    QCOMPARE(exifTools(session.pid, session.dir.path()), QList<qint64>());
}

void tst_Termination::secondSignalEndsAtOnce()
{
    Session session;
    QVERIFY(session.start(true, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(session.reportWritten(), ProgramLimitMs);
    const QList<qint64> kept = exifTools(session.pid, session.dir.path());
    // Both signals are waiting when the program goes on, so the second one comes before the
    // closing that the first one asks for can begin.
    session.signal(SIGSTOP);
    session.signal(SIGTERM);
    session.signal(SIGHUP);
    session.signal(SIGCONT);
    QVERIFY2(session.program.waitForFinished(ProgramLimitMs), "the program did not end after the signals");
    QCOMPARE(session.program.exitStatus(), QProcess::CrashExit);
    for (qint64 pid : kept)
        QTRY_VERIFY_WITH_TIMEOUT(!isRunning(pid), 30000);
    // Also one that was starting when the program ended.
    QTRY_COMPARE_WITH_TIMEOUT(exifTools(session.pid, session.dir.path()), QList<qint64>(), 30000);
}

QTEST_GUILESS_MAIN(tst_Termination)
#include "tst_termination.moc"
