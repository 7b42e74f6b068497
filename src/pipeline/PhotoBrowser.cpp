#include "pipeline/PhotoBrowser.h"

#include "pipeline/Ahead.h"
#include "pipeline/PhotoBrowsing.h"
#include "pipeline/PhotoSession.h"
#include "exiftool/ReportPath.h"

PhotoBrowser::PhotoBrowser(ExifToolService &service, QObject *parent)
    : QObject(parent), m_service(service), m_ahead(new Ahead(service, this)), m_session(new PhotoSession(service, this))
{
    m_session->useAhead(m_ahead);
    connect(m_session, &PhotoSession::photoChanged, this, [this](const QString &photo) {
        m_reportShown = false;
        // The picture is made while ExifTool reads the metadata; it shows after the list. A report
        // in hand already fills the list at once: its picture is asked for after that (onShown),
        // so that its decoding does not compete with the filling for the process's memory map.
        if (!m_ahead->holdsReport(photo, m_language))
            m_ahead->wantPicture(photo);
        emit photoChanged(photo);
    });
    connect(m_session, &PhotoSession::reportRead, this, &PhotoBrowser::onShown);
    connect(m_session, &PhotoSession::reportCleared, this, &PhotoBrowser::cleared);
    connect(m_session, &PhotoSession::notice, this, &PhotoBrowser::notice);
    connect(m_session, &PhotoSession::positionChanged, this, &PhotoBrowser::positionChanged);
    connect(m_ahead, &Ahead::pictureReady, this, &PhotoBrowser::onPicture);
}

PhotoBrowser::~PhotoBrowser()
{
    close();
}

void PhotoBrowser::setLanguage(const QString &code)
{
    m_language = code;
    m_session->setLanguage(code);
}

void PhotoBrowser::setShowExifTool(bool visible)
{
    m_visible = visible;
    m_session->setShowExifTool(visible);
}

void PhotoBrowser::setKeepReports(bool keep)
{
    m_session->setKeepReports(keep);
}

void PhotoBrowser::setPictureBox(const QSize &box)
{
    m_ahead->setPictureBox(box);
}

void PhotoBrowser::readCommandLine(const QString &commandLine)
{
    m_commandLineRead = !commandLine.isEmpty();
    if (!m_commandLineRead)
        return;
    m_commandLinePhoto = ReportPath::photoPathFromArgument(commandLine);
    if (!m_visible && ReportPath::forPhoto(m_commandLinePhoto, nullptr))
        m_ahead->startWith(m_commandLinePhoto, m_language);
}

void PhotoBrowser::openCommandLinePhoto()
{
    if (!m_commandLineRead)
        return;
    m_commandLineRead = false;
    if (!ReportPath::forPhoto(m_commandLinePhoto, nullptr)) {
        emit photoChanged(m_commandLinePhoto);
        emit notice({Notice::Kind::Error, QStringLiteral("5 Invalid procedure call or argument"),
                     QStringLiteral("frmExifTool_CommandAbfrage")});
        return;
    }
    m_session->open(m_commandLinePhoto);
}

bool PhotoBrowser::commandLineReportReady() const
{
    return m_commandLineRead && !m_visible && m_ahead && m_ahead->holdsReport(m_commandLinePhoto, m_language);
}

void PhotoBrowser::open(const QString &photo)
{
    m_session->open(photo);
}

void PhotoBrowser::step(int direction, const QString &typed)
{
    // Counted on from the photo last asked for, so a key held down while ExifTool works moves
    // on photo by photo and the last one asked for is shown.
    const QString from = m_session->photo().isEmpty() ? typed : m_session->photo();
    const QString target = PhotoBrowsing::neighbour(from, direction);
    m_lastStep = direction;
    if (!target.isEmpty())
        m_session->open(target);
}

void PhotoBrowser::runExifTool(const QString &typed)
{
    m_session->runExifTool(typed);
}

void PhotoBrowser::showReport(const QString &typed)
{
    m_session->showReport(typed);
}

void PhotoBrowser::showAgain()
{
    m_session->showReport(m_session->photo());
}

void PhotoBrowser::changeLanguage(const QString &code, const QString &typed)
{
    setLanguage(code);
    m_session->changeLanguage(code, typed);
}

void PhotoBrowser::close()
{
    m_closed = true;
    m_reportShown = false;
    m_ahead->dropPicture();
    m_session->close();
}

QString PhotoBrowser::photo() const
{
    return m_session->photo();
}

std::optional<GeoPosition> PhotoBrowser::position() const
{
    return m_session->position();
}

void PhotoBrowser::onShown(const ReportRows &rows, const QStringList &englishNames)
{
    const QString photo = m_session->photo();
    m_reportShown = true;
    emit shown(photo, rows, englishNames);
    m_ahead->wantPicture(photo);
    // Left to the event loop, behind what the filled list has queued already (its paint):
    // while the user looks at this photo, the next one is made ready in memory.
    QMetaObject::invokeMethod(
        this,
        [this, photo] {
            if (!m_closed && photo == m_session->photo())
                m_ahead->prepareNeighbour(photo, m_lastStep, m_language);
        },
        Qt::QueuedConnection);
}

void PhotoBrowser::onPicture(const QString &photo, const QImage &image)
{
    if (m_reportShown && photo == m_session->photo())
        emit picture(image);
}
