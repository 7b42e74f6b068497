#pragma once

#include "exiftool/FileStamp.h"
#include "pipeline/ExifToolService.h"

#include <QObject>
#include <QString>

#include <optional>

// One photo's report fetched before the user asks for it: the command-line photo's while the
// window is being built, the next photo of the folder while one is shown. ExifTool prints the
// report into memory, so nothing is written beside a photo the user has not opened; when the
// user opens it, PhotoSession writes that text where ExifTool's "-w!" would have. Fetched only
// while the service keeps ExifTool running, where a report costs a few milliseconds.
class ReportsAhead : public QObject
{
    Q_OBJECT
public:
    explicit ReportsAhead(ExifToolService &service, QObject *parent = nullptr);

    // Fetches the report of photo in language (the language box's code), unless it is being
    // fetched already. What was fetched for any other photo is dropped. userWaits: the user
    // already asked for the photo (the command line), so the request goes before work done
    // ahead and shows the busy pointer.
    void prepare(const QString &photo, const QString &language, bool userWaits = false);

    // Hands over what was fetched for photo in language, as the id of its service request:
    // finished(id, …) follows, from the service or (when the report is there already) from
    // here, with the report in ExifToolOutcome::output. 0 when nothing usable was fetched: for
    // another photo or language, or the photo changed since. Everything else is dropped.
    int take(const QString &photo, const QString &language);

    // Drops whatever was fetched.
    void clear();

signals:
    void finished(int id, const ExifToolOutcome &outcome);

private:
    struct Entry {
        int id = 0;
        FileStamp stamp; // the photo's, when the request was made
        QString language;
        bool done = false;
        ExifToolOutcome outcome;
    };

    void onFinished(int id, const ExifToolOutcome &outcome);

    ExifToolService &m_service;
    std::optional<Entry> m_entry;
};
