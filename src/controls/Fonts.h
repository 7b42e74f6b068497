#pragma once

#include <thread>

// The windows are laid out in fixed places for Segoe UI and small check and option
// indicators. Where that face is missing (every Linux desktop), a face narrower than
// it stands in: Carlito (metric-compatible with Calibri) keeps every caption inside its box;
// Liberation Sans and DejaVu Sans, the usual fallbacks, are too wide for "IFD0", "Xmp" and
// "Composite". The faces after it are for machines without it.
void installFontSubstitutes();

// The program's look, set once before the first window: the stand-in faces above and
// DesignStyle (the indicator metrics the layout was drawn for).
void installDesignLook();

// The system's font configuration, read on a thread of its own while the application object
// is made: reading it is most of what the first text costs, and the toolkit would read it only
// once the window is built, with nothing else to do meanwhile. wait() before the first font is
// asked for; where the system has no such configuration, nothing is read ahead.
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
