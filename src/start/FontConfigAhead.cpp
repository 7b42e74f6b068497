#include "start/FontConfigAhead.h"

#include <dlfcn.h>

FontConfigAhead::FontConfigAhead()
{
    // Loaded here, not on the thread: libraries load one at a time, and the window's libraries,
    // loaded right after, would hold the loader while the thread waited for it. Kept open: the
    // toolkit loads the same library later and finds it loaded, and the configuration read.
    void *fontconfig = ::dlopen("libfontconfig.so.1", RTLD_NOW);
    using Init = int();
    auto *init = fontconfig ? reinterpret_cast<Init *>(::dlsym(fontconfig, "FcInit")) : nullptr;
    // fontconfig guards its loading itself, whoever comes second.
    if (init)
        m_reader = std::thread(init);
}

FontConfigAhead::~FontConfigAhead()
{
    wait();
}

void FontConfigAhead::wait()
{
    if (m_reader.joinable())
        m_reader.join();
}
