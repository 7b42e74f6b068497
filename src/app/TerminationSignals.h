#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// A desktop ending its session, or someone running `kill`, sends SIGTERM (or SIGHUP, or
// SIGINT from a terminal). Without a handler the program would die on the spot and leave the
// photo's report behind; with this, the signal is turned into an ordinary close of the
// window, which stores the settings and deletes the report as "End" does. A second signal
// while that closing is under way ends the program at once: the first one may be stuck.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // What the first signal does: every open box closes as if the window system had closed it
    // (each answers with its empty text), then the main window closes as "End" closes it, and
    // every event loop still running ends, so that nothing the boxes' callers do afterwards
    // can wait again.
    static void endSession(QWidget *mainWindow);

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
