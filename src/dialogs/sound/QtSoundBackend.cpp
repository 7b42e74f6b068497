#include "dialogs/SoundBackend.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>

namespace
{

class QtSoundBackend : public SoundBackend
{
public:
    bool hasOutput() override { return !QMediaDevices::audioOutputs().isEmpty(); }

    void play(const QUrl &url, int loops) override
    {
        // One effect for the whole program, like the system's single sound channel: a new sound
        // ends the previous one. Owned by the application object so that it goes before the
        // audio system.
        if (!m_effect && QCoreApplication::instance())
            m_effect = new QSoundEffect(QCoreApplication::instance());
        if (!m_effect)
            return;
        m_effect->stop();
        m_effect->setSource(url);
        m_effect->setLoopCount(loops == Infinite ? QSoundEffect::Infinite : qMax(1, loops));
        // Plays as soon as the file has loaded; play() before that is remembered by the effect.
        m_effect->play();
    }

    void stop() override
    {
        if (m_effect)
            m_effect->stop();
    }

private:
    QPointer<QSoundEffect> m_effect;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundBackend *lumoskopCreateSoundBackend()
{
    static QtSoundBackend backend;
    return &backend;
}
