// No box outlives the window it belongs to: whether that window closes while the box waits or
// had closed before the box opened, the box answers as if the window system had closed it. The
// end of a session closes every box at once, one waiting behind a later box included.
#include "BoxAnswers.h"

#include "dialogs/BoxLifetime.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmInputTamu.h"
#include "dialogs/frmMsgTamu.h"
#include "dialogs/modMsgTamu.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>

namespace
{

// A box the rule under test leaves open is closed after a while, so the test fails instead of
// waiting for an answer nobody gives.
class LeftOpen : public QObject
{
public:
    LeftOpen()
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget *w : windows) {
                auto *msg = qobject_cast<frmMsgTamu *>(w);
                if (qobject_cast<QDialog *>(w) &&
                    (w->isVisible() || (msg && msg->isSuspended() && !msg->isAnswered()))) {
                    found = true;
                    w->close();
                }
            }
        });
        m_timer.start(3000);
    }
    bool found = false;

private:
    QTimer m_timer;
};

QString openBox(const QString &kind, QWidget *owner)
{
    if (kind == "message box")
        return MsgTamu("Text", 32, 1, "Box", 0, QString(), QString(), owner);
    if (kind == "message box counting down")
        return MsgTamu("Text", 32, 1, "Box", 30, QString(), QString(), owner);
    if (kind == "input box")
        return InputTamu(owner, "Box", "Prompt", "preset");
    QFileDialog dialog(owner, "Foto auswählen");
    return dialog.exec() == QDialog::Accepted ? QStringLiteral("accepted") : QString();
}

} // namespace

class TestBoxLifetime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { SignalSound::setRecording(true); }
    void init() { resetMissedBoxes(); }
    void cleanup() { QCOMPARE(missedBoxes(), 0); }

    void closesWithItsOwner_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("ownerClosedFirst");
        for (const char *kind : {"message box", "message box counting down", "input box", "file dialog"}) {
            QTest::addRow("%s, owner closes while it waits", kind) << QString(kind) << false;
            QTest::addRow("%s, opened over a closed owner", kind) << QString(kind) << true;
        }
    }
    void closesWithItsOwner()
    {
        QFETCH(QString, kind);
        QFETCH(bool, ownerClosedFirst);
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        if (ownerClosedFirst) {
            owner.close();
        } else {
            const auto closeOwner = [&owner](QWidget *) { owner.close(); };
            if (kind == "message box counting down")
                onMsgBox("Box", closeOwner);
            else
                onModal(closeOwner);
        }
        LeftOpen leftOpen;
        QCOMPARE(openBox(kind, &owner), QString());
        QVERIFY(!leftOpen.found);
    }

    void closeAllReachesABoxWaitingBehindAnother()
    {
        QString inner = "unanswered";
        onMsgBox("Outer", [&](frmMsgTamu *) {
            onMsgBox("Inner", [](frmMsgTamu *) { BoxLifetime::closeAll(); });
            inner = MsgTamu("Second", 32, 1, "Inner", 0);
        });
        LeftOpen leftOpen;
        QCOMPARE(MsgTamu("First", 32, 1, "Outer", 30), QString());
        QCOMPARE(inner, QString());
        QVERIFY(!leftOpen.found);
    }
};

QTEST_MAIN(TestBoxLifetime)
#include "tst_boxlifetime.moc"
