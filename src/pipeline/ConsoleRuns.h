#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class QProcess;
struct ExifToolOutcome;

// "ExifTool show" runs the user still reads in their terminals after the program has moved on:
// they stay open for the user and hold up nothing, and each one's end is still told, so that
// the report it wrote goes like any report left behind. The program's end closes them.
class ConsoleRuns : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ConsoleRuns() override;

    // process (a running terminal, already watched by its owner) is handed over for request id.
    void setAside(int id, QProcess *process, const QString &exiftool);
    // The outcome of request id's run, ended now, as the terminal ended; false when id is none
    // of these.
    bool takeEnded(int id, ExifToolOutcome *outcome);
    QList<int> ids() const;
    // Kills every terminal and its ExifTool, and waits for them.
    void closeAll();

private:
    struct Run {
        QProcess *process;
        QString exiftool;
    };
    QHash<int, Run> m_runs;
};
