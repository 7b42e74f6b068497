#pragma once

#include <thread>

// The system's font configuration, read on a thread of its own while the window library loads
// and the application object is made: reading it is most of what the first text costs, and the
// toolkit would read it only once the window is being built, with nothing else to do
// meanwhile. wait() before the first font is asked for. The program's file does not link
// fontconfig (it would load before main() could start ExifTool); it is loaded when this is
// made. Where the system has none, nothing is read ahead.
class FontConfigAhead
{
public:
    FontConfigAhead();
    ~FontConfigAhead(); // as wait()
    FontConfigAhead(const FontConfigAhead &) = delete;
    FontConfigAhead &operator=(const FontConfigAhead &) = delete;
    void wait();

private:
    std::thread m_reader;
};
