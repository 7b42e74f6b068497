#include "pipeline/ReportsAhead.h"

#include "exiftool/ExifToolCommand.h"
#include "exiftool/FileStamp.h"
#include "pipeline/ReportPath.h"

#include <QFileInfo>


ReportsAhead::ReportsAhead(ExifToolService &service, QObject *parent) : QObject(parent), m_service(service)
{
    connect(&m_service, &ExifToolService::finished, this, &ReportsAhead::onFinished);
}

void ReportsAhead::prepare(const QString &photo, const QString &language, bool userWaits)
{
    const FileStamp stamp = FileStamp::of(photo);
    if (m_entry && m_entry->stamp == stamp && m_entry->language == language)
        return;
    clear();
    QString beside;
    // A report standing beside the photo is shown without ExifTool; a folder is no photo.
    if (!m_service.keepsRunning() || photo.trimmed().isEmpty() || !QFileInfo(photo).isFile() ||
        !ReportPath::forPhoto(photo, &beside) || QFileInfo::exists(beside))
        return;
    m_service.warmUp();
    Entry entry;
    entry.id = m_service.request(ExifToolJob::asking({ExifToolAsk::Kind::Report, photo, language}, !userWaits));
    entry.stamp = stamp;
    entry.language = language;
    m_entry = entry;
}

int ReportsAhead::take(const QString &photo, const QString &language)
{
    if (!m_entry)
        return 0;
    const Entry entry = *m_entry;
    if (entry.stamp != FileStamp::of(photo) || entry.language != language) {
        clear();
        return 0;
    }
    m_entry.reset();
    if (entry.done) {
        // Never from inside the call, as the service would deliver it.
        QMetaObject::invokeMethod(
            this, [this, entry] { emit finished(entry.id, entry.outcome); }, Qt::QueuedConnection);
    } else {
        m_service.promote(entry.id);
    }
    return entry.id;
}

void ReportsAhead::clear()
{
    if (m_entry && !m_entry->done)
        m_service.cancel(m_entry->id);
    m_entry.reset();
}

void ReportsAhead::onFinished(int id, const ExifToolOutcome &outcome)
{
    if (!m_entry || m_entry->id != id)
        return;
    m_entry->done = true;
    m_entry->outcome = outcome;
}
