#include "dialogs/SignalSound.h"

#include "pipeline/ProgramFolder.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>

namespace
{

struct Recorder {
    bool on = false;
    QStringList requests;
};

Recorder &recorder()
{
    static Recorder r;
    return r;
}

// One effect for the whole program, like the system's single sound channel: a new sound ends
// the previous one. Owned by the application object so that it goes before the audio system.
QSoundEffect *effect(bool create)
{
    static QPointer<QSoundEffect> instance;
    if (create && !instance && QCoreApplication::instance())
        instance = new QSoundEffect(QCoreApplication::instance());
    return instance;
}

bool haveAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

} // namespace

namespace SignalSound
{

void playSignal(const QString &fileName)
{
    if (recorder().on) {
        recorder().requests << fileName;
        return;
    }
    const QUrl url = signalUrl(fileName);
    if (url.isEmpty())
        return;
    play(url);
}

QUrl signalUrl(const QString &fileName)
{
    return ProgramFolder::assetUrl(QStringLiteral("dialogs"), fileName);
}

void play(const QUrl &url, int loops)
{
    if (recorder().on) {
        recorder().requests << url.toString() +
                                   (loops == QSoundEffect::Infinite ? QStringLiteral(" (repeated)") : QString());
        return;
    }
    if (url.isEmpty() || !haveAudioOutput())
        return;
    QSoundEffect *fx = effect(true);
    if (!fx)
        return;
    fx->stop();
    fx->setSource(url);
    fx->setLoopCount(loops == QSoundEffect::Infinite ? QSoundEffect::Infinite : qMax(1, loops));
    // Plays as soon as the file has loaded; play() before that is remembered by the effect.
    fx->play();
}

void stop()
{
    if (recorder().on) {
        recorder().requests << QStringLiteral("stop");
        return;
    }
    if (QSoundEffect *fx = effect(false))
        fx->stop();
}

void setRecording(bool on)
{
    recorder().on = on;
}
QStringList recorded()
{
    return recorder().requests;
}
void clearRecorded()
{
    recorder().requests.clear();
}

} // namespace SignalSound
