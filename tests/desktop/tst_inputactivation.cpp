// The input box under a window manager: its question sounds at each activation within the
// program (opening, coming back from another window of the program), not when the user only
// returns from another program.
#include "Processes.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmInputTamu.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <QtTest>

namespace
{
// The window manager and the program may both be slow to answer on a busy machine.
constexpr int DesktopLimitMs = 30000;

QString run(const QStringList &args)
{
    return QString::fromUtf8(Processes::run(QStringLiteral("xdotool"), args)).trimmed();
}

// Activated as a user does it, through the window manager.
void activate(const QString &window)
{
    run({"windowactivate", "--sync", window});
}

QString idOf(QWidget *w)
{
    return QString::number(w->winId());
}

int questions()
{
    return int(SignalSound::recorded().count("Fragezeichen.wav"));
}
} // namespace

class tst_InputActivation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { SignalSound::setRecording(true); }
    void questionAtEachActivationWithinTheProgram();
};

void tst_InputActivation::questionAtEachActivationWithinTheProgram()
{
    // Another program's window.
    QProcess other;
    other.start("xmessage", {"-title", "Another program", "Another program"});
    QVERIFY(other.waitForStarted(DesktopLimitMs));
    QString otherWindow;
    QTRY_VERIFY_WITH_TIMEOUT(!(otherWindow = run({"search", "--onlyvisible", "--name", "^Another program$"})).isEmpty(),
                             DesktopLimitMs);

    QWidget mainWindow;
    mainWindow.setWindowTitle("Main");
    mainWindow.resize(300, 200);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow, DesktopLimitMs));
    activate(idOf(&mainWindow));
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow.isActiveWindow(), DesktopLimitMs);

    frmInputTamu box(&mainWindow);
    box.setWindowTitle("Kamera");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box, DesktopLimitMs));
    activate(idOf(&box));
    QTRY_VERIFY_WITH_TIMEOUT(box.isActiveWindow(), DesktopLimitMs);
    QTRY_COMPARE_WITH_TIMEOUT(questions(), 1, DesktopLimitMs);

    // Away to the program's own window and back: asked again.
    activate(idOf(&mainWindow));
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow.isActiveWindow(), DesktopLimitMs);
    activate(idOf(&box));
    QTRY_VERIFY_WITH_TIMEOUT(box.isActiveWindow(), DesktopLimitMs);
    QTRY_COMPARE_WITH_TIMEOUT(questions(), 2, DesktopLimitMs);

    // Away to another program and back: the same question still stands.
    activate(otherWindow.section('\n', 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::applicationState(), Qt::ApplicationInactive, DesktopLimitMs);
    activate(idOf(&box));
    QTRY_VERIFY_WITH_TIMEOUT(box.isActiveWindow(), DesktopLimitMs); // the activation has been handled by now
    QCOMPARE(questions(), 2);

    // Shown again: a new question, also when it opens straight from another program.
    box.hide();
    activate(otherWindow.section('\n', 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::applicationState(), Qt::ApplicationInactive, DesktopLimitMs);
    box.show();
    activate(idOf(&box));
    QTRY_VERIFY_WITH_TIMEOUT(box.isActiveWindow(), DesktopLimitMs);
    QTRY_COMPARE_WITH_TIMEOUT(questions(), 3, DesktopLimitMs);

    other.kill();
    QVERIFY(other.waitForFinished(DesktopLimitMs));
}

QTEST_MAIN(tst_InputActivation)
#include "tst_inputactivation.moc"
