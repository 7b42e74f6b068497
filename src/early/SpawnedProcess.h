#pragma once

// A process started with pipes of ours on its standard output and error, in a process group of
// its own so that ending it ends what it started. Plain data without Qt: the program's file
// starts one before any toolkit library is loaded, and hands it on.
struct SpawnedProcess {
    long pid = -1;
    // Its standard input, where it was asked for: a socket, so that writing to a process that
    // has ended fails instead of raising SIGPIPE. -1: it reads /dev/null.
    int in = -1;
    int out = -1, err = -1; // read ends of its standard output and error
    int exitFd = -1;        // readable once the process has ended, where the system offers one
    bool valid() const { return pid > 0; }
    // Ends the whole group, reaps it and closes what is open.
    void end();
    // Writes bytes whole to its standard input and closes it: true when all went out. (Far less
    // than a socket's buffer holds is ever written, so this never waits for the reader.)
    bool feedAndClose(const char *bytes, unsigned long size);
};

// Closes fd where it is open, and marks it closed.
void closeFd(int &fd);

// Starts argv[0] with argv (null-terminated) now; withInput: on a standard input of ours
// instead of /dev/null. An invalid process when it could not be started.
SpawnedProcess spawnProcess(char *const argv[], bool withInput);
