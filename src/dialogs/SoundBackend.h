#pragma once

#include <QUrl>

// What the sound layer needs from Qt Multimedia. It lives in a module of its own
// (liblumoskop_sound.so), loaded at the first sound: Qt Multimedia and its audio stack are some
// twenty shared libraries that the program's start and first paint do not need.
class SoundBackend
{
public:
    static constexpr int Infinite = -2; // loops: until stop()

    virtual ~SoundBackend() = default;
    virtual bool hasOutput() = 0;
    virtual void play(const QUrl &url, int loops) = 0;
    virtual void stop() = 0;
};

// The module's one entry point, looked up by this name; it returns the module's backend.
using CreateSoundBackend = SoundBackend *(*)();
constexpr const char *CreateSoundBackendName = "lumoskopCreateSoundBackend";
