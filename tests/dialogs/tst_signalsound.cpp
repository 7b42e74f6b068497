// The sound layer and the signal sounds shipped with it: where sounds are found, that
// playing never fails without an audio device, and that the wave files are usable.
#include "dialogs/SignalSound.h"
#include "exiftool/ProgramFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace
{
const QStringList SignalNames{"Infozeichen.wav", "Fragezeichen.wav", "Ausrufezeichen.wav", "Stoppzeichen.wav"};
} // namespace

class TestSignalSound : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        SignalSound::setRecording(false);
        ProgramFolder::setOverride(QString());
    }
    void programFolderFirstThenBuiltIn();
    void recordingNotesEveryRequest();
    void waveFilesAreShortAndClean();
};

void TestSignalSound::programFolderFirstThenBuiltIn()
{
    QTemporaryDir dir;
    QFile own(dir.filePath("Stoppzeichen.wav"));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.close();
    ProgramFolder::setOverride(dir.path());
    QCOMPARE(SignalSound::signalUrl("Stoppzeichen.wav"), QUrl::fromLocalFile(dir.filePath("Stoppzeichen.wav")));
    for (const QString &name : SignalNames.mid(0, 3))
        QCOMPARE(SignalSound::signalUrl(name), QUrl("qrc:/dialogs/" + name));
    QVERIFY(SignalSound::signalUrl("Fehlt.wav").isEmpty());
}

void TestSignalSound::recordingNotesEveryRequest()
{
    SignalSound::setRecording(true);
    SignalSound::clearRecorded();
    SignalSound::playSignal("Fragezeichen.wav");
    SignalSound::playSignal("Fehlt.wav"); // asked for, though no such file exists
    SignalSound::play(QUrl("qrc:/about/Blues.wav"), -2);
    SignalSound::stop();
    QCOMPARE(SignalSound::recorded(),
             QStringList({"Fragezeichen.wav", "Fehlt.wav", "qrc:/about/Blues.wav (repeated)", "stop"}));
}

void TestSignalSound::waveFilesAreShortAndClean()
{
    for (const QString &name : SignalNames) {
        QFile f(":/dialogs/" + name);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
        const auto sample = [&](int i) { return qAbs(int(qFromLittleEndian<qint16>(b.constData() + 44 + 2 * i))); };
        // The plain 44-byte header of PCM, mono, 16 bits, and 0.2 to 1 second of sound.
        QVERIFY(b.startsWith("RIFF") && b.mid(8, 8) == "WAVEfmt " && b.mid(36, 4) == "data");
        QVERIFY(u16(20) == 1 && u16(22) == 1 && u16(34) == 16);
        const int rate = int(qFromLittleEndian<quint32>(b.constData() + 24)), count = (b.size() - 44) / 2;
        QVERIFY2(count >= rate / 5 && count <= rate, qPrintable(name));
        int peak = 0;
        for (int i = 0; i < count; ++i)
            peak = qMax(peak, sample(i));
        QVERIFY2(peak > 8000 && peak < 32000, qPrintable(name));                 // audible, not clipped
        QVERIFY2(sample(0) < 1000 && sample(count - 1) < 200, qPrintable(name)); // no click in or out
    }
}

QTEST_MAIN(TestSignalSound)
#include "tst_signalsound.moc"
