#include "pipeline/Ahead.h"

#include "exiftool/ReportPath.h"
#include "pipeline/PhotoBrowsing.h"
#include "pipeline/ThumbnailLoader.h"

Ahead::Ahead(ExifToolService &service, QObject *parent)
    : QObject(parent), m_service(service), m_pictures(new ThumbnailLoader(&service, this))
{
    connect(&m_service, &ExifToolService::finished, this, &Ahead::onFinished);
    connect(m_pictures, &ThumbnailLoader::ready, this, &Ahead::pictureReady);
}

Ahead::~Ahead() = default;

void Ahead::setPictureBox(const QSize &box)
{
    m_box = box;
}

void Ahead::startWith(const QString &photo, const QString &language)
{
    // Its picture waits for the window, which knows the box: decoding now would only take a
    // core from ExifTool's start.
    prepare(photo, language, true);
}

void Ahead::prepareNeighbour(const QString &photo, int step, const QString &language)
{
    if (photo.isEmpty())
        return;
    const QString next = PhotoBrowsing::neighbour(photo, step);
    prepare(next, language, false);
    if (m_service.keepsRunning())
        m_pictures->prepare(next, m_box);
}

void Ahead::prepare(const QString &photo, const QString &language, bool userWaits)
{
    const FileStamp stamp = FileStamp::of(photo);
    if (m_report && m_report->stamp == stamp && m_report->language == language)
        return;
    dropReport();
    if (!m_service.keepsRunning() || !ReportPath::needsReport(photo))
        return;
    m_service.warmUp();
    Report report;
    report.id = m_service.request(ExifToolJob::asking({ExifToolAsk::Kind::Report, photo, language}, !userWaits));
    report.stamp = stamp;
    report.language = language;
    m_report = report;
}

int Ahead::takeReport(const QString &photo, const QString &language)
{
    if (!m_report)
        return 0;
    const Report report = *m_report;
    if (!isFor(report, photo, language)) {
        dropReport();
        return 0;
    }
    m_report.reset();
    if (report.done) {
        // Never from inside the call, as the service would deliver it.
        QMetaObject::invokeMethod(
            this, [this, report] { emit reportFinished(report.id, report.outcome); }, Qt::QueuedConnection);
    } else {
        m_service.promote(report.id);
    }
    return report.id;
}

bool Ahead::holdsReport(const QString &photo, const QString &language) const
{
    return m_report && m_report->done && isFor(*m_report, photo, language);
}

bool Ahead::isFor(const Report &report, const QString &photo, const QString &language)
{
    return report.stamp == FileStamp::of(photo) && report.language == language;
}

void Ahead::dropReport()
{
    if (m_report && !m_report->done)
        m_service.cancel(m_report->id);
    m_report.reset();
}

void Ahead::onFinished(int id, const ExifToolOutcome &outcome)
{
    if (!m_report || m_report->id != id)
        return;
    m_report->done = true;
    m_report->outcome = outcome;
}

void Ahead::wantPicture(const QString &photo)
{
    if (photo.trimmed().isEmpty())
        m_pictures->cancel();
    else
        m_pictures->request(photo, m_box);
}

void Ahead::dropPicture()
{
    m_pictures->cancel();
}
