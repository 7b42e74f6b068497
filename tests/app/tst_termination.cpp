#include "fixture_window.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

// The program as a user's session ends it: a SIGTERM (logout, `kill`) or SIGHUP closes the
// window the way "End" does, so the settings are stored and no report is left beside the photo.
class tst_Termination : public QObject
{
    Q_OBJECT
private slots:
    void signalClosesLikeEnd_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signalClosesLikeEnd()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        const QString photo = dir.filePath("ended.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(LUMOSKOP_BINARY_DIR "/lumoskop"), {photo});
        QVERIFY(program.waitForStarted(10000));
        const QString report = dir.filePath("ended.txt");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report) && QFileInfo(report).size() > 100, 30000);
        QTest::qWait(300); // let the list fill
        ::kill(pid_t(program.processId()), signalNumber);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFile::exists(report));
        QVERIFY(QFile::exists(photo));
        QSettings stored(dir.filePath("config/Lumoskop/Lumoskop.conf"), QSettings::IniFormat);
        QVERIFY(stored.contains("Options/ExiftoolWidth"));
    }
};

QTEST_GUILESS_MAIN(tst_Termination)
#include "tst_termination.moc"
