#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The program's sound service: plays a wave file asynchronously and returns at once. A new
// sound replaces the one still playing. Where the machine has no audio output, or the file
// cannot be found or played, it stays silent; it never reports a failure.
namespace SignalSound
{

constexpr int Infinite = -2;

// A signal sound by file name ("Fragezeichen.wav"): the program's folder first, then the copy
// built into the program.
void playSignal(const QString &fileName);
// Where that file is found; empty when neither place has it.
QUrl signalUrl(const QString &fileName);

// Any sound by address (file or "qrc:" URL); loops < 1 plays it once, Infinite repeats it
// until stop().
void play(const QUrl &url, int loops = 1);

// Ends whatever is playing.
void stop();

// For tests: while recording, nothing reaches the speaker; every request is noted instead, a
// signal sound by its file name, any other by its URL text (followed by " (repeated)" when it
// repeats until stop()), and stop() as "stop".
void setRecording(bool on);
QStringList recorded();
void clearRecorded();

} // namespace SignalSound
