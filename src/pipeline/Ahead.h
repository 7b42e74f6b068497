#pragma once

#include "exiftool/FileStamp.h"
#include "pipeline/ExifToolService.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <optional>

class ThumbnailLoader;

// What is made before it is shown: a photo's report and its picture for the photo box, each
// kept for the state of the file it was made from (FileStamp). It decides what to make ahead:
// the photo the program was started with, while the window is being built, and then the
// neighbour of the photo shown in the direction the user browses. A report made ahead is
// printed into memory, so nothing is written beside a photo the user has not opened; when the
// user opens it, PhotoSession writes that text where ExifTool's "-w!" would have. Reports are
// made ahead only while the service keeps ExifTool running, where one costs a few milliseconds.
class Ahead : public QObject
{
    Q_OBJECT
public:
    explicit Ahead(ExifToolService &service, QObject *parent = nullptr);
    ~Ahead() override;

    // The photo box's size, which the pictures are made for.
    void setPictureBox(const QSize &box);

    // The photo the user has asked for already (the command line): its report goes before
    // work done ahead and shows the busy pointer.
    void startWith(const QString &photo, const QString &language);
    // The user looks at photo: the next photo in the direction of step (+1, -1) is made ready.
    void prepareNeighbour(const QString &photo, int step, const QString &language);

    // Hands over the report made for photo in language, as the id of its service request:
    // reportFinished(id, …) follows, from the service or (when the report is there already) from
    // here, with the report in ExifToolOutcome::output. 0 when nothing usable was made: for
    // another photo or language, or the photo changed since. What was made is dropped either way.
    int takeReport(const QString &photo, const QString &language);
    // takeReport() would hand over a report that is there already.
    bool holdsReport(const QString &photo, const QString &language) const;

    // The picture of photo for the box: pictureReady(photo, …) follows once, from the event
    // loop, unless another picture is wanted first. One made or being made is used.
    void wantPicture(const QString &photo);
    // No picture is wanted any more; what is being made ahead goes on.
    void dropPicture();

signals:
    void reportFinished(int id, const ExifToolOutcome &outcome);
    // A null image when none could be made.
    void pictureReady(const QString &photo, const QImage &image);

private:
    struct Report {
        int id = 0;
        FileStamp stamp; // the photo's, when the request was made
        QString language;
        bool done = false;
        ExifToolOutcome outcome;
    };

    // The report was made for photo as it is now, in language.
    static bool isFor(const Report &report, const QString &photo, const QString &language);
    void prepare(const QString &photo, const QString &language, bool userWaits);
    void dropReport();
    void onFinished(int id, const ExifToolOutcome &outcome);

    ExifToolService &m_service;
    ThumbnailLoader *m_pictures;
    QSize m_box;
    std::optional<Report> m_report;
};
