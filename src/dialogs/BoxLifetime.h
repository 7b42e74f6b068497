#pragma once

// Every box of the program (message box, input box, about window, the file dialog) waits for
// its answer in an event loop of its own. A window system closes none of them when the window
// they belong to goes, so a box left open would keep the program running after its main
// window has closed, with nobody left to answer it.
namespace BoxLifetime
{

// From now on, in the whole application: a box whose owner window closes closes with it, and
// a box that opens over an owner window already closed closes at once, each as if the window
// system had closed it (the box answers with its empty text). A window counts as closed once
// the program hides it; minimising does not count. Calling it again does nothing.
void watch();

// Closes every open box as the window system would, a message box waiting behind a later
// one included.
void closeAll();

} // namespace BoxLifetime
