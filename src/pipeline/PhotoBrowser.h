#pragma once

#include "pipeline/GeoPosition.h"
#include "pipeline/Notice.h"
#include "pipeline/ReportRow.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class Ahead;
class ExifToolService;
class PhotoSession;

// The photo shown and the way the user browses: the one owner of "the current photo". It reads
// the command line once, turns the window's commands into the photo session's, has the next
// photo made ahead in the direction of the last step, and tells the window what to show: the
// list, the camera panel and the thumbnail all follow its signals, and keep nothing of their
// own about which photo it is. Needs no display.
class PhotoBrowser : public QObject
{
    Q_OBJECT
public:
    explicit PhotoBrowser(ExifToolService &service, QObject *parent = nullptr);
    ~PhotoBrowser() override; // as close()

    ExifToolService &service() const { return m_service; }

    // The options the next command uses, as the window's boxes hold them.
    void setLanguage(const QString &code);
    void setShowExifTool(bool visible);
    void setKeepReports(bool keep);
    void setPictureBox(const QSize &box);

    // The command line, everything after the program's name, as a file manager's "open with"
    // passes it. Read before the window is built, so that ExifTool starts on the photo while
    // the window is made; a run the user watches in a terminal waits for the window.
    void readCommandLine(const QString &commandLine);
    // The window is up: the photo of the command line is opened. An argument that is no usable
    // path gets the uniform error report, as the start-up entry gives it.
    void openCommandLinePhoto();
    // The report of the command line's photo is in already (the user's ExifTool keeper answers
    // while the window is built): opening it costs no wait.
    bool commandLineReportReady() const;

    // A photo taken over: file button, drop, next or previous photo.
    void open(const QString &photo);
    // Next (+1) or previous (-1) photo of the folder, counted from the photo last asked for;
    // where none was, from the photo typed into the path box.
    void step(int direction, const QString &typed);
    // "ExifTool", "Show" and a language picked, for the path box's text.
    void runExifTool(const QString &typed);
    void showReport(const QString &typed);
    void changeLanguage(const QString &code, const QString &typed);
    // Shows the report of the photo shown again (the list's sorting was switched off).
    void showAgain();
    // The window closes; nothing is signalled afterwards.
    void close();

    QString photo() const;
    std::optional<GeoPosition> position() const;

signals:
    // Another photo is taken over: the path box shows it, list, panel and thumbnail are empty.
    void photoChanged(const QString &photo);
    // The photo's report, for the list and the camera panel (englishNames: see PhotoSession).
    void shown(const QString &photo, const ReportRows &rows, const QStringList &englishNames);
    // The photo shown has no report to show: the list empties; panel and thumbnail stay.
    void cleared();
    // The photo box's picture of the photo shown, after its report; null when none could be made.
    void picture(const QImage &image);
    void notice(const Notice &notice);
    // The position of the photo shown is known, or known to be absent.
    void positionChanged();

private:
    void onShown(const ReportRows &rows, const QStringList &englishNames);
    void onPicture(const QString &photo, const QImage &image);

    ExifToolService &m_service;
    Ahead *m_ahead;
    PhotoSession *m_session;
    QString m_language = QStringLiteral("en");
    bool m_visible = false;
    QString m_commandLinePhoto;
    bool m_commandLineRead = false;
    int m_lastStep = +1;
    bool m_reportShown = false; // the photo shown has its list: its picture may follow
    bool m_closed = false;
};
