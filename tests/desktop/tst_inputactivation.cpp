// The input box under a window manager: its question sounds at each activation within the
// program (opening, coming back from another window of the program), not when the user only
// returns from another program.
#include "dialogs/SignalSound.h"
#include "dialogs/frmInputTamu.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <QtTest>

namespace
{
QString run(const QStringList &args)
{
    QProcess p;
    p.start("xdotool", args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
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
    QVERIFY(other.waitForStarted());
    QString otherWindow;
    QTRY_VERIFY_WITH_TIMEOUT(!(otherWindow = run({"search", "--onlyvisible", "--name", "^Another program$"})).isEmpty(),
                             10000);

    QWidget mainWindow;
    mainWindow.setWindowTitle("Main");
    mainWindow.resize(300, 200);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    activate(idOf(&mainWindow));
    QTRY_VERIFY(mainWindow.isActiveWindow());

    frmInputTamu box(&mainWindow);
    box.setWindowTitle("Kamera");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    activate(idOf(&box));
    QTRY_VERIFY(box.isActiveWindow());
    QTRY_COMPARE(questions(), 1);

    // Away to the program's own window and back: asked again.
    activate(idOf(&mainWindow));
    QTRY_VERIFY(mainWindow.isActiveWindow());
    activate(idOf(&box));
    QTRY_VERIFY(box.isActiveWindow());
    QTRY_COMPARE(questions(), 2);

    // Away to another program and back: the same question still stands.
    activate(otherWindow.section('\n', 0, 0));
    QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationInactive);
    activate(idOf(&box));
    QTRY_VERIFY(box.isActiveWindow()); // the activation has been handled by now
    QCOMPARE(questions(), 2);

    // Shown again: a new question, also when it opens straight from another program.
    box.hide();
    activate(otherWindow.section('\n', 0, 0));
    QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationInactive);
    box.show();
    activate(idOf(&box));
    QTRY_VERIFY(box.isActiveWindow());
    QTRY_COMPARE(questions(), 3);

    other.kill();
    other.waitForFinished(5000);
}

QTEST_MAIN(tst_InputActivation)
#include "tst_inputactivation.moc"
