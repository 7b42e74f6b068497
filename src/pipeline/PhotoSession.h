#pragma once

#include "exiftool/FileStamp.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/GeoPosition.h"
#include "pipeline/Notice.h"
#include "pipeline/ReportRow.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QTemporaryDir;
class Ahead;

// The road of the photo shown: which photo it is, where its report is and who made it, the
// ExifTool request in flight for it, and what becomes of the report when the user moves on.
// The report path is examined once per command. A file at the report path that is not this
// photo's report is never shown, replaced or deleted; the report is then written into a
// private folder instead, so the photo is still shown. Results of requests for a photo no
// longer shown are dropped, and their reports discarded like any report left behind.
class PhotoSession : public QObject
{
    Q_OBJECT
public:
    // Who made the report the list shows, and so what may become of it.
    enum class Origin {
        None,       // no report
        Ours,       // written beside the photo by a run of this session
        KeptBefore, // stood beside the photo already (kept by "TXT save") and shown without a run
        Private,    // written into the session's private folder: none could stand beside the photo
    };

    explicit PhotoSession(ExifToolService &service, QObject *parent = nullptr);
    ~PhotoSession() override; // as close()

    // The options the next command uses, as the window's boxes hold them.
    void setLanguage(const QString &code); // the box's code; "zh" reaches ExifTool as "zh-cn"
    QString language() const { return m_language; }
    void setShowExifTool(bool visible) { m_visible = visible; }
    void setKeepReports(bool keep) { m_keep = keep; } // "TXT save"
    // Reports made ahead into memory: a hidden run for a photo made there takes that report
    // instead of asking ExifTool again.
    void useAhead(Ahead *ahead);

    // A photo taken over (file button, command line, drop, next or previous photo): the report
    // of the photo shown so far is discarded unless kept, list and panel are emptied, and a
    // fresh report beside the photo is shown; otherwise ExifTool runs.
    void open(const QString &photo);
    // "ExifTool": a new report for the photo (the path box's text; another photo is taken over
    // first). The old rows stay until the new report is read.
    void runExifTool(const QString &photo);
    // "Show": reads the photo's report again (another photo is taken over first); ExifTool does
    // not run, and without a report the list stays empty.
    void showReport(const QString &photo);
    // A new language: the report is discarded unless kept, list and panel are emptied, and
    // ExifTool runs again for the photo (nothing runs for an empty path).
    void changeLanguage(const QString &code, const QString &photo);
    // The window closes: runs in flight are ended, the report is deleted unless kept, the
    // private folder goes. Nothing is signalled afterwards.
    void close();

    QString photo() const { return m_photo; } // the photo shown or being fetched
    // A request for the photo shown is in flight (its report, or the English listing that a
    // report in another language waits for).
    bool isBusy() const { return m_current != 0 || m_listing != 0; }
    // Where the photo shown was taken, once ExifTool has told (positionChanged).
    std::optional<GeoPosition> position() const { return m_position; }

    // One clear message for a run after which the photo's report is not there, naming the
    // photo, with ExifTool's own error text where it printed one: ExifTool missing or not
    // startable, crashed, stopped, exited non-zero, or ended without writing the report.
    static QString describeFailure(const ExifToolOutcome &outcome, const QString &photo, const QString &reportPath);

signals:
    // Another photo is taken over: nothing of the photo shown so far may stay on screen.
    void photoChanged(const QString &photo);
    // The photo's report, repaired and its key tags marked bold. For a report in a language
    // other than German and English, englishNames holds the English description of each row,
    // in report order (else it is empty).
    void reportRead(const ReportRows &rows, const QStringList &englishNames);
    // The photo shown has no report to show (none there, a failed run): the list empties.
    void reportCleared();
    void notice(const Notice &notice);
    // The position of the photo shown is known, or known to be absent.
    void positionChanged();

private:
    struct Request {
        QString photo;
        QString destination; // the report path beside the photo, or the request's private folder
        bool isPrivate = false;
        // The report beside the photo before the run (none: not there); a run that failed
        // leaves an older report as it was, and that is no report of it.
        FileStamp before;
        // ExifTool prints the report into memory (ReportsAhead); it is written to destination
        // when it comes, as "-w!" would have written it.
        bool fromMemory = false;
    };
    enum class Mode { Open, Run, Show };

    void begin(const QString &photo, Mode mode);
    void takeOver(const QString &photo);
    void leave();
    void cancelCurrent();
    void dropReport();
    void start(const QString &photo, const QString &beside, bool privately);
    void onFinished(int id, const ExifToolOutcome &outcome);
    void load(const QString &report, Origin origin);
    void show(ReportRows rows);
    void cancelCompanions();
    void clearList();
    void tell(Notice::Kind kind, const QString &text);
    void discard(const Request &request);
    bool writeFromMemory(const Request &request, const ExifToolOutcome &outcome);
    QString newPrivateFolder();

    ExifToolService &m_service;
    Ahead *m_ahead = nullptr;
    QString m_language = QStringLiteral("en");
    bool m_visible = false;
    bool m_keep = false;

    QString m_photo;
    QString m_report;
    Origin m_origin = Origin::None;
    int m_current = 0;              // the request for the photo shown, 0 when none
    QHash<int, Request> m_inFlight; // every request not finished yet, the current one included
    std::unique_ptr<QTemporaryDir> m_private;
    int m_privateCount = 0;
    bool m_closed = false;
    bool m_toldNoTerminal = false;

    // What follows a loaded report: its English listing and the photo's position.
    int m_listing = 0;
    int m_positionRequest = 0;
    ReportRows m_waitingRows; // the report's rows, until the English listing is there
    QStringList m_englishNames;
    std::optional<GeoPosition> m_position;
};
