#pragma once

class QProcess;

// Every ExifTool the program starts runs in a process group of its own, so that ending it also
// ends what a wrapper script or a terminal started inside it.
namespace ProcessGroup
{

// Call before start(). dieWithParent: the process is killed when the program dies, however it
// dies (for a process that would otherwise wait on its input for ever).
void startOwnGroup(QProcess *process, bool dieWithParent = false);

// Kills the whole group. Does not wait: QProcess reports the end through its signals.
void kill(QProcess *process);

// For the program's end only, where no event loop will deliver the process's end any more.
void killAndWait(QProcess *process);

} // namespace ProcessGroup
