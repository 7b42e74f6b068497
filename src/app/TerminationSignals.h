#pragma once

#include <QObject>

class QSocketNotifier;

// A desktop ending its session, or someone running `kill`, sends SIGTERM (or SIGHUP, or
// SIGINT from a terminal). Without a handler the program would die on the spot and leave the
// photo's report behind; with this, the signal is turned into an ordinary close of the
// window, which stores the settings and deletes the report as "End" does.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
