#pragma once

#include "exiftool/FileStamp.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <vector>

class QProcess;

// One ExifTool kept running in its "-stay_open True -@ -" mode, so that a request does not pay
// for loading Perl and ExifTool's modules again. It takes one request at a time, as lines of
// its argument file on standard input. The end of an answer is the "{ready<N>}" line ExifTool
// prints; the exit status a one-shot run would have had comes as an "-echo4" line on standard
// error. An answer without that status, with a status other than 0, or none at all (the
// process died or hung past the time limit) is not to be trusted: the caller then asks a
// one-shot ExifTool, which decides.
class KeptExifTool : public QObject
{
    Q_OBJECT
public:
    static constexpr int GraceTime = 1000; // ms between "-stay_open False" and a kill
    // ExifTool is started afresh after this many requests, as long-running ExifTool wrappers do
    // to bound the memory its caches grow to.
    static constexpr int RequestLimit = 250;

    struct Answer {
        bool trusted = false; // status 0 came: a one-shot run would have succeeded
        QByteArray output;    // standard output, when asked for
        QString errorText;    // what ExifTool wrote to standard error for the request, trimmed
    };

    explicit KeptExifTool(QObject *parent = nullptr);
    ~KeptExifTool() override; // asked to end, and killed after the grace time

    // Starts program, kept running in the current folder (relative photo paths resolve against
    // it); a process started earlier ends first.
    void start(const QString &program);
    bool isRunning() const { return m_process != nullptr; }
    bool isAnswering() const { return m_answering; }
    // It runs program in the current folder, has answered fewer than RequestLimit requests, and
    // program on disk is still the file it was started from (not replaced by an upgrade).
    bool serves(const QString &program) const;
    QString program() const { return m_program; }

    // Sends one request; answered() or failed() follows exactly once, from the process's
    // signals, never from inside this call. Only while running and not answering, with
    // arguments that fit the argument file.
    void ask(const QStringList &arguments, bool captureOutput, int timeLimit);

    // Asks ExifTool to end and kills it after the grace time; in the background.
    void end();
    // Kills it now; in the background. A request it was answering gets no signal.
    void kill();
    // For the program's end: kills it and waits.
    void killAndWait();

    // True when ExifTool would read every argument back unchanged from its line-based argument
    // file: no line breaks, no leading white space, not empty, no "#" comment, no "-tag = value"
    // that it would rewrite, and none of the options that steer the argument file itself.
    static bool fitsArgumentFile(const QStringList &arguments);

signals:
    void answered(const KeptExifTool::Answer &answer);
    // It died, did not start, or hung past the time limit while answering; it is gone.
    void failed();

private:
    QProcess *takeProcess();
    void leave(QProcess *process);
    void gone(quint64 serial);
    void readOutput();
    void readErrors();
    void complete();
    void fail();

    QProcess *m_process = nullptr;
    quint64 m_serial = 0; // tells a late signal of a replaced process from the current one
    QString m_program;
    FileStamp m_programStamp;
    QString m_folder;
    int m_number = 0; // of the last request sent
    bool m_answering = false;
    bool m_captureOutput = false;
    bool m_readySeen = false;
    bool m_statusSeen = false;
    int m_status = -1;
    QByteArray m_outBuffer;
    QByteArray m_errBuffer;
    QByteArray m_errorText;
    QTimer m_limitTimer;
    QTimer m_statusTimer;
    // Processes given up on that have not ended yet.
    std::vector<QPointer<QProcess>> m_leaving;
};
