#include "dialogs/SignalSound.h"

#include "dialogs/SoundBackend.h"
#include "exiftool/ProgramFolder.h"

#include <QCoreApplication>
#include <QLibrary>

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

// Loaded at the first sound: beside the program (the build tree), then where it is installed.
// Where it is missing, the program stays silent.
SoundBackend *loadModule()
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {folder, folder + QStringLiteral("/" LUMOSKOP_SOUND_DIR_FROM_BIN)}) {
        QLibrary module(candidate + QStringLiteral("/liblumoskop_sound.so"));
        if (!module.load())
            continue;
        if (const auto create = reinterpret_cast<CreateSoundBackend>(module.resolve(CreateSoundBackendName)))
            return create();
    }
    return nullptr;
}

// load false: nothing has played yet, so nothing is to be loaded either.
SoundBackend *backend(bool load)
{
    static bool tried = false;
    static SoundBackend *loaded = nullptr;
    if (load && !tried && QCoreApplication::instance()) {
        tried = true;
        loaded = loadModule();
    }
    return loaded;
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
                                   (loops == SignalSound::Infinite ? QStringLiteral(" (repeated)") : QString());
        return;
    }
    if (url.isEmpty())
        return;
    SoundBackend *sound = backend(true);
    if (sound && sound->hasOutput())
        sound->play(url, loops);
}

void stop()
{
    if (recorder().on) {
        recorder().requests << QStringLiteral("stop");
        return;
    }
    if (SoundBackend *sound = backend(false))
        sound->stop();
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
