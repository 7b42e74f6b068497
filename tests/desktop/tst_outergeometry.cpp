// The real program under a window manager: the window's stored outer rectangle comes back at
// every start, whenever the frame arrives, and a rectangle that does not fit (a maximised
// close, a larger screen, the designed size at 200 %) is brought wholly onto the screen.
// Runs on the virtual desktop of scripts/desktop-session.sh (1600 x 1200, openbox).
#include "Processes.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QRect Screen(0, 0, 1600, 1200); // device pixels
const QStringList Keys{"ExiftoolTop", "ExiftoolLeft", "ExiftoolHeight", "ExiftoolWidth"};

// The program and the window manager may both be slow to answer on a busy machine.
constexpr int DesktopLimitMs = 60000;

QString x11(const QString &program, const QStringList &args)
{
    return QString::fromUtf8(Processes::run(program, args));
}

// The four stored values, as text.
QStringList stored(const QString &configHome)
{
    QSettings ini(configHome + "/Lumoskop/Lumoskop.conf", QSettings::IniFormat);
    QStringList values;
    for (const QString &key : Keys)
        values << ini.value("Options/" + key).toString();
    return values;
}

void store(const QString &configHome, const QStringList &values)
{
    QDir().mkpath(configHome + "/Lumoskop");
    QSettings ini(configHome + "/Lumoskop/Lumoskop.conf", QSettings::IniFormat);
    for (int i = 0; i < Keys.size(); ++i)
        ini.setValue("Options/" + Keys[i], values[i]);
}

// The stored rectangle in device-independent pixels.
QRect storedRect(const QStringList &v)
{
    return QRect(int(v[1].toDouble() / 15), int(v[0].toDouble() / 15), int(v[3].toDouble() / 15),
                 int(v[2].toDouble() / 15));
}

bool near(const QRect &a, const QRect &b)
{
    return qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1 && qAbs(a.right() - b.right()) <= 1 &&
           qAbs(a.bottom() - b.bottom()) <= 1;
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// One run of build/lumoskop with its own settings folder, driven as a user drives it.
class Program
{
public:
    Program(const QString &configHome, const QString &scale)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", configHome);
        env.insert("QT_SCALE_FACTOR", scale);
        env.insert("QT_QPA_PLATFORM", "xcb");
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(LUMOSKOP_PROGRAM), QStringList());
        m_process.waitForStarted(DesktopLimitMs);
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // The program's main window, once it is mapped.
    QString window()
    {
        if (m_window.isEmpty()) {
            const QString found =
                x11("xdotool", {"search", "--onlyvisible", "--pid", QString::number(m_process.processId()), "--name",
                                "^Lumoskop - Qwerin$"});
            m_window = found.section('\n', 0, 0).trimmed();
        }
        return m_window;
    }

    // The frame's rectangle on the screen, device pixels: the client's rectangle that
    // xwininfo reports, grown by the frame extents the window manager announces.
    QRect frame()
    {
        const QString info = x11("xwininfo", {"-id", window()});
        auto number = [&](const char *label) {
            const auto m = QRegularExpression(QStringLiteral("%1:\\s*(-?\\d+)").arg(label)).match(info);
            return m.hasMatch() ? m.captured(1).toInt() : -1;
        };
        const QRect client(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                           number("Height"));
        const auto m = QRegularExpression("= (\\d+), (\\d+), (\\d+), (\\d+)")
                           .match(x11("xprop", {"-id", window(), "_NET_FRAME_EXTENTS"}));
        if (!m.hasMatch())
            return QRect();
        return client.adjusted(-m.captured(1).toInt(), -m.captured(3).toInt(), m.captured(2).toInt(),
                               m.captured(4).toInt());
    }

    bool maximise()
    {
        x11("wmctrl", {"-i", "-r", window(), "-b", "add,maximized_vert,maximized_horz"});
        return x11("xprop", {"-id", window(), "_NET_WM_STATE"}).contains("MAXIMIZED_HORZ");
    }

    // Closed from the frame's close button, through the window manager.
    bool close()
    {
        x11("wmctrl", {"-i", "-c", window()});
        return m_process.waitForFinished(DesktopLimitMs) && m_process.exitStatus() == QProcess::NormalExit;
    }

    bool running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
    QString m_window;
};

// Scales a rectangle in device-independent pixels to the screen's device pixels.
QRect onScreen(const QRect &r, double scale)
{
    return QRect(qRound(r.x() * scale), qRound(r.y() * scale), qRound(r.width() * scale), qRound(r.height() * scale));
}
} // namespace

#define SHOWN(program)                                                                                                 \
    do {                                                                                                               \
        QTRY_VERIFY_WITH_TIMEOUT(!(program).window().isEmpty() || !(program).running(), DesktopLimitMs);               \
        QVERIFY2((program).running(), "the program ended before its window showed");                                   \
    } while (false)

class tst_OuterGeometry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sameGeometryAtEveryStart_data();
    void sameGeometryAtEveryStart();
    void maximisedCloseComesBackOnTheScreen();
    void rectangleFromALargerScreen_data();
    void rectangleFromALargerScreen();
    void frameArrivingLate(); // last: it replaces the session's window manager

private:
    QProcess m_lateManager;
};

void tst_OuterGeometry::initTestCase()
{
    QVERIFY2(x11("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"),
             "needs a window manager: run through scripts/desktop-session.sh");
    QVERIFY(QFileInfo(QStringLiteral(LUMOSKOP_PROGRAM)).isExecutable());
}

void tst_OuterGeometry::sameGeometryAtEveryStart_data()
{
    QTest::addColumn<QString>("scale");
    QTest::newRow("100 %") << "1";
    QTest::newRow("150 %") << "1.5";
    QTest::newRow("200 %") << "2";
}

void tst_OuterGeometry::sameGeometryAtEveryStart()
{
    QFETCH(QString, scale);
    QTemporaryDir config;
    QStringList first;
    for (int start = 1; start <= 6; ++start) {
        Program program(config.path(), scale);
        SHOWN(program);
        if (start == 1) {
            // The designed size, at 200 % taller than the screen, is brought onto it.
            QTRY_VERIFY2_WITH_TIMEOUT(Screen.contains(program.frame()), qPrintable(describe(program.frame())),
                                      DesktopLimitMs);
        } else {
            // The frame stands where it was stored, once the window manager has framed it.
            const QRect wanted = onScreen(storedRect(first), scale.toDouble());
            QTRY_VERIFY2_WITH_TIMEOUT(near(program.frame(), wanted),
                                      qPrintable(QStringLiteral("start %1: frame %2, stored %3")
                                                     .arg(start)
                                                     .arg(describe(program.frame()), describe(wanted))),
                                      DesktopLimitMs);
        }
        QVERIFY(program.close());
        if (start == 1)
            first = stored(config.path());
        else
            QCOMPARE(stored(config.path()), first);
    }
}

void tst_OuterGeometry::maximisedCloseComesBackOnTheScreen()
{
    QTemporaryDir config;
    {
        Program program(config.path(), "1");
        SHOWN(program);
        QTRY_VERIFY_WITH_TIMEOUT(program.maximise(), DesktopLimitMs);
        QVERIFY(program.close());
    }
    // What the maximised window reported is stored, as the rule says: the whole screen.
    QCOMPARE(storedRect(stored(config.path())), Screen);
    const QStringList maximised = stored(config.path());
    for (int start = 0; start < 2; ++start) {
        Program program(config.path(), "1");
        SHOWN(program);
        QTRY_VERIFY2_WITH_TIMEOUT(program.frame() == Screen, qPrintable(describe(program.frame())), DesktopLimitMs);
        QVERIFY(program.close());
        QCOMPARE(stored(config.path()), maximised);
    }
}

void tst_OuterGeometry::rectangleFromALargerScreen_data()
{
    QTest::addColumn<QStringList>("values"); // top, left, height, width in twips
    QTest::addColumn<QRect>("expected");     // the frame on the 1600 x 1200 screen
    QTest::newRow("right of this screen")
        << QStringList{"13500", "30000", "12360", "10920"} << QRect(872, 376, 728, 824);
    QTest::newRow("maximised on 2560 x 1440") << QStringList{"0", "0", "21600", "38400"} << Screen;
    QTest::newRow("left of and above it") << QStringList{"-3000", "-9000", "12360", "10920"} << QRect(0, 0, 728, 824);
}

void tst_OuterGeometry::rectangleFromALargerScreen()
{
    QFETCH(QStringList, values);
    QFETCH(QRect, expected);
    QTemporaryDir config;
    store(config.path(), values);
    Program program(config.path(), "1");
    SHOWN(program);
    QTRY_VERIFY2_WITH_TIMEOUT(program.frame() == expected, qPrintable(describe(program.frame())), DesktopLimitMs);
    QVERIFY(program.close());
    QCOMPARE(storedRect(stored(config.path())), expected);
}

void tst_OuterGeometry::frameArrivingLate()
{
    // The window is shown while no window manager runs, and framed only later.
    const auto managerWindow = [] {
        return x11("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).section("window id # ", 1).trimmed();
    };
    const QString manager = managerWindow();
    x11("openbox", {"--exit"});
    QTRY_VERIFY_WITH_TIMEOUT(x11("xwininfo", {"-id", manager}).isEmpty(), DesktopLimitMs);

    QTemporaryDir config;
    Program program(config.path(), "1");
    SHOWN(program);
    m_lateManager.start("openbox", {"--sm-disable"});
    QVERIFY(m_lateManager.waitForStarted());
    // The new manager's check window may well get the id the old one had: what counts is that
    // the window the root names exists again.
    QTRY_VERIFY_WITH_TIMEOUT(!managerWindow().isEmpty() && !x11("xwininfo", {"-id", managerWindow()}).isEmpty(),
                             DesktopLimitMs);
    const QRect designed(6, 6, 728, 824); // 100 twips from the edges, 10920 x 12360 twips outside
    QTRY_VERIFY2_WITH_TIMEOUT(program.frame() == designed, qPrintable(describe(program.frame())), DesktopLimitMs);
    QVERIFY(program.close());
    QCOMPARE(stored(config.path()), QStringList({"100", "100", "12360", "10920"}));
}

QTEST_GUILESS_MAIN(tst_OuterGeometry)
#include "tst_outergeometry.moc"
