#include "pipeline/PhotoSession.h"

#include "exiftool/ExifToolCommand.h"
#include "exiftool/FileStamp.h"
#include "exiftool/ProgramFolder.h"
#include "pipeline/Ahead.h"
#include "pipeline/EnglishNames.h"
#include "pipeline/ReportFile.h"
#include "exiftool/ReportPath.h"
#include "pipeline/ReportReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>
#include <utility>

namespace
{

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Whether a report can be created beside the photo. access() also answers for a read-only
// medium or share, which permission bits alone do not tell.
bool folderTakesReports(const QString &photo)
{
    const QString folder = QFileInfo(photo).absolutePath();
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

// ExifTool's own words when it cannot create the output file; it writes them in English
// whatever the language of the report.
bool couldNotCreateReport(const ExifToolOutcome &outcome)
{
    return outcome.errorOutput.contains(QLatin1String("Error creating"));
}

} // namespace

PhotoSession::PhotoSession(ExifToolService &service, QObject *parent) : QObject(parent), m_service(service)
{
    connect(&m_service, &ExifToolService::finished, this, &PhotoSession::onFinished);
}

PhotoSession::~PhotoSession()
{
    close();
}

void PhotoSession::setLanguage(const QString &code)
{
    m_language = code;
}

void PhotoSession::useAhead(Ahead *ahead)
{
    if (m_ahead)
        disconnect(m_ahead, nullptr, this, nullptr);
    m_ahead = ahead;
    if (m_ahead)
        connect(m_ahead, &Ahead::reportFinished, this, &PhotoSession::onFinished);
}

QString PhotoSession::describeFailure(const ExifToolOutcome &outcome, const QString &photo, const QString &reportPath)
{
    const QString shownPhoto = shown(photo);
    if (outcome.program.isEmpty())
        return QStringLiteral("ExifTool was not found, so no metadata can be shown for \"%1\". Put the program "
                              "\"exiftool\" into the folder \"%2\" or install it (Debian package "
                              "libimage-exiftool-perl).")
            .arg(shownPhoto, shown(ProgramFolder::path()));
    const QString shownProgram = shown(outcome.program);
    QString text;
    if (!outcome.started)
        text = QStringLiteral("ExifTool (\"%1\") could not be started for \"%2\".").arg(shownProgram, shownPhoto);
    else if (outcome.aborted)
        text = QStringLiteral("ExifTool was stopped before it wrote the report of \"%1\".").arg(shownPhoto);
    else if (outcome.crashed)
        text = QStringLiteral("ExifTool (\"%1\") crashed while reading \"%2\".").arg(shownProgram, shownPhoto);
    else if (outcome.exitCode != 0)
        text =
            QStringLiteral("ExifTool wrote no report for \"%1\" (exit code %2).").arg(shownPhoto).arg(outcome.exitCode);
    else
        text = QStringLiteral("ExifTool ended without writing the report \"%1\" for \"%2\".")
                   .arg(shown(reportPath), shownPhoto);
    if (!outcome.errorOutput.isEmpty())
        text += QStringLiteral("\n\n") + outcome.errorOutput;
    return text;
}

// ---------------------------------------------------------------- commands

void PhotoSession::open(const QString &photo)
{
    if (m_closed)
        return;
    takeOver(photo);
    begin(photo, Mode::Open);
}

void PhotoSession::runExifTool(const QString &photo)
{
    if (m_closed || photo.trimmed().isEmpty())
        return;
    if (photo != m_photo)
        takeOver(photo);
    begin(photo, Mode::Run);
}

void PhotoSession::showReport(const QString &photo)
{
    if (m_closed || photo.trimmed().isEmpty())
        return;
    if (photo != m_photo) {
        takeOver(photo);
    } else if (isBusy()) {
        return; // the run's end shows the report anyway
    } else if (m_origin == Origin::Private) {
        load(m_report, Origin::Private);
        return;
    }
    begin(photo, Mode::Show);
}

void PhotoSession::changeLanguage(const QString &code, const QString &photo)
{
    if (m_closed)
        return;
    setLanguage(code);
    leave();
    m_photo = photo;
    clearList();
    if (!photo.trimmed().isEmpty())
        begin(photo, Mode::Run);
}

void PhotoSession::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_service.abortAll();
    // A run ended now may have left its report already, or half of it.
    for (const Request &request : std::exchange(m_inFlight, {}))
        discard(request);
    m_current = m_listing = m_positionRequest = 0;
    dropReport();
    m_private.reset();
}

// ---------------------------------------------------------------- the road

void PhotoSession::takeOver(const QString &photo)
{
    leave();
    m_photo = photo;
    emit photoChanged(photo);
}

void PhotoSession::leave()
{
    cancelCompanions();
    cancelCurrent();
    dropReport();
}

void PhotoSession::cancelCurrent()
{
    if (m_current == 0)
        return;
    m_service.cancel(m_current);
    // A request that had not started yet is gone without a word: it wrote nothing. One that
    // runs on is discarded when it ends.
    if (!m_service.pending().contains(m_current))
        m_inFlight.remove(m_current);
    m_current = 0;
}

void PhotoSession::dropReport()
{
    if (m_origin == Origin::None)
        return;
    Request shownReport;
    shownReport.photo = m_photo;
    shownReport.isPrivate = m_origin == Origin::Private;
    shownReport.destination = shownReport.isPrivate ? QFileInfo(m_report).absolutePath() : m_report;
    m_origin = Origin::None;
    m_report.clear();
    discard(shownReport);
}

void PhotoSession::begin(const QString &photo, Mode mode)
{
    QString beside;
    if (!ReportPath::forPhoto(photo, &beside)) {
        clearList();
        return;
    }
    if (QFileInfo(photo).isDir()) {
        clearList();
        tell(Notice::Kind::Warning,
             QStringLiteral("\"%1\" is a folder, not a photo. ExifTool was not run, because it would write "
                            "a report beside every file in it.")
                 .arg(shown(photo)));
        return;
    }
    const ReportFile::Status status = ReportFile::examine(beside, photo);
    const bool isOwn = status == ReportFile::Status::OwnReport;

    // A report older than its photo was made before the photo last changed: its metadata may
    // be out of date.
    const bool stale = FileStamp::of(beside).olderThan(FileStamp::of(photo));
    if (mode == Mode::Show || (mode == Mode::Open && isOwn && !stale)) {
        if (isOwn) {
            // Read again after a run of this session it is still ours, else it was kept before.
            const bool ours = m_origin == Origin::Ours && m_report == beside;
            load(beside, ours ? Origin::Ours : Origin::KeptBefore);
            return;
        }
        if (mode == Mode::Show) {
            clearList();
            if (status == ReportFile::Status::Foreign && !ReportFile::samePath(beside, photo))
                tell(Notice::Kind::Warning,
                     QStringLiteral("\"%1\" is not an ExifTool report, so Lumoskop does not show it.")
                         .arg(shown(beside)));
            return;
        }
    }

    // Whatever stands at the report path and is not this photo's report is left alone: the
    // report goes into the private folder, and the user is told where "TXT save" cannot work.
    QString notice;
    bool privately = true;
    if (status == ReportFile::Status::Foreign && !ReportFile::samePath(beside, photo)) {
        notice = QStringLiteral("\"%1\" is not an ExifTool report. Lumoskop leaves that file as it is and shows "
                                "the metadata of \"%2\" from a report of its own.")
                     .arg(shown(beside), shown(photo));
        if (m_keep)
            notice += QStringLiteral("\n\n\"TXT save\" cannot keep that report beside the photo.");
    } else if (status == ReportFile::Status::Foreign) {
        if (m_keep)
            notice = QStringLiteral("The photo \"%1\" has the name of its own report, so \"TXT save\" cannot keep "
                                    "a report beside it.")
                         .arg(shown(photo));
    } else if (status == ReportFile::Status::OtherPhotosReport) {
        if (m_keep)
            notice = QStringLiteral("\"%1\" is the report of another photo, so \"TXT save\" cannot keep the report "
                                    "of \"%2\" beside it.")
                         .arg(shown(beside), shown(photo));
    } else if (!folderTakesReports(photo) && QFileInfo::exists(photo)) {
        if (m_keep)
            notice = QStringLiteral("The folder \"%1\" cannot be written, so \"TXT save\" cannot keep the report of "
                                    "\"%2\" beside it.")
                         .arg(shown(QFileInfo(photo).absolutePath()), shown(photo));
    } else {
        privately = false;
    }
    // ExifTool works while the user reads the notice.
    start(photo, beside, privately);
    if (!notice.isEmpty())
        tell(Notice::Kind::Warning, notice);
}

void PhotoSession::start(const QString &photo, const QString &beside, bool privately)
{
    // "ExifTool" pressed again: the earlier run's result is of no use any more.
    cancelCurrent();
    Request request{photo, beside, privately, privately ? FileStamp() : FileStamp::of(beside)};
    QString writeTo = QStringLiteral("txt");
    if (privately) {
        request.destination = newPrivateFolder();
        if (request.destination.isEmpty()) {
            clearList();
            tell(Notice::Kind::Error,
                 QStringLiteral("Lumoskop found no folder of its own to put the report of \"%1\" in.")
                     .arg(shown(photo)));
            return;
        }
        writeTo = request.destination + QStringLiteral("/%f.txt");
    }
    if (m_ahead && !m_visible) {
        if (const int fetched = m_ahead->takeReport(photo, m_language)) {
            request.fromMemory = true;
            m_current = fetched;
            m_inFlight.insert(m_current, request);
            return;
        }
    }
    ExifToolJob job;
    job.arguments = ExifToolCommand::arguments(m_language, m_visible, photo, writeTo);
    job.visible = m_visible;
    m_current = m_service.request(job);
    m_inFlight.insert(m_current, request);
}

void PhotoSession::onFinished(int id, const ExifToolOutcome &outcome)
{
    if (id == m_listing) {
        m_listing = 0;
        if (!outcome.aborted)
            m_englishNames = EnglishNames::fromListing(m_waitingRows, outcome.output);
        show(std::exchange(m_waitingRows, {}));
        return;
    }
    if (id == m_positionRequest) {
        m_positionRequest = 0;
        m_position = positionFromListing(outcome.output);
        emit positionChanged();
        return;
    }
    const auto it = m_inFlight.constFind(id);
    if (it == m_inFlight.constEnd())
        return;
    Request request = *it;
    m_inFlight.erase(it);
    if (id != m_current) {
        discard(request);
        return;
    }
    m_current = 0;
    if (request.fromMemory) {
        if (!writeFromMemory(request, outcome)) {
            // ExifTool runs as usual and meets whatever kept the report from being written.
            discard(request);
            start(request.photo, request.destination, request.isPrivate);
            return;
        }
        request.fromMemory = false; // written now, as by ExifTool itself
    }

    QString report = request.destination;
    if (request.isPrivate) {
        // The private folder of a request holds its report only, whatever ExifTool named it.
        const QStringList files = QDir(request.destination).entryList(QDir::Files | QDir::Hidden);
        report = files.isEmpty() ? QString() : request.destination + QLatin1Char('/') + files.first();
    }
    const FileStamp after = FileStamp::of(report);
    const bool written = after.exists() && after != request.before;
    if (written && ReportFile::examine(report, request.photo) == ReportFile::Status::OwnReport) {
        load(report, request.isPrivate ? Origin::Private : Origin::Ours);
    } else if (!request.isPrivate && couldNotCreateReport(outcome)) {
        // A medium that refuses writes without saying so beforehand (a share, a card's lock).
        start(request.photo, request.destination, true);
        if (m_keep)
            tell(Notice::Kind::Warning,
                 QStringLiteral("The folder \"%1\" cannot be written, so \"TXT save\" cannot keep the "
                                "report of \"%2\" beside it.")
                     .arg(shown(QFileInfo(request.photo).absolutePath()), shown(request.photo)));
        return;
    } else {
        discard(request);
        clearList();
        tell(Notice::Kind::Error,
             describeFailure(outcome, request.photo, report.isEmpty() ? request.destination : report));
        return;
    }
    if (outcome.noTerminal && !m_toldNoTerminal) {
        m_toldNoTerminal = true;
        tell(Notice::Kind::Warning,
             QStringLiteral("\"ExifTool show\" needs a terminal window, and none is installed, so ExifTool "
                            "ran hidden. Install a terminal emulator (for example the Debian package xterm) "
                            "to watch ExifTool work."));
    }
}

void PhotoSession::tell(Notice::Kind kind, const QString &text)
{
    emit notice({kind, text, QString()});
}

void PhotoSession::load(const QString &report, Origin origin)
{
    ReportRows rows;
    if (ReportReader::load(report, &rows) != ReportReader::ReadResult::Ok) {
        // Gone or replaced between the run and the reading.
        m_report.clear();
        m_origin = Origin::None;
        clearList();
        return;
    }
    m_report = report;
    m_origin = origin;
    cancelCompanions();
    if (!EnglishNames::needed(m_language)) {
        show(std::move(rows));
        return;
    }
    // The panel and the bold marks know this language's rows by their English descriptions:
    // the list waits for ExifTool's English listing of the same photo.
    m_waitingRows = std::move(rows);
    m_listing = m_service.request(ExifToolJob::asking({ExifToolAsk::Kind::EnglishListing, m_photo, QString()}));
}

void PhotoSession::show(ReportRows rows)
{
    EnglishNames::markBold(rows, m_englishNames);
    // Where the photo was taken, for the map: asked as numbers, never read from the text.
    m_positionRequest = m_service.request(ExifToolJob::asking({ExifToolAsk::Kind::Position, m_photo, QString()}, true));
    emit reportRead(rows, m_englishNames);
}

void PhotoSession::cancelCompanions()
{
    for (int *id : {&m_listing, &m_positionRequest}) {
        if (*id != 0)
            m_service.cancel(*id);
        *id = 0;
    }
    m_waitingRows.clear();
    m_englishNames.clear();
    if (m_position) {
        m_position.reset();
        emit positionChanged();
    }
}

void PhotoSession::clearList()
{
    cancelCompanions();
    emit reportCleared();
}

void PhotoSession::discard(const Request &request)
{
    if (request.isPrivate) {
        QDir(request.destination).removeRecursively();
        return;
    }
    if (request.fromMemory)
        return; // nothing was written for it
    // The photo shown uses that very file: a late run of an earlier visit must not take it.
    if (request.destination == m_report && m_origin != Origin::None)
        return;
    // Nor may a console the user closes only now take the report a newer run writes there.
    for (const Request &other : std::as_const(m_inFlight)) {
        if (!other.isPrivate && other.destination == request.destination)
            return;
    }
    if (!m_keep)
        ReportFile::removeReport(request.destination, request.photo);
}

bool PhotoSession::writeFromMemory(const Request &request, const ExifToolOutcome &outcome)
{
    if (!outcome.started || outcome.aborted || outcome.crashed || outcome.exitCode != 0 || outcome.output.isEmpty())
        return false;
    // Named as "%f.txt" names it in the private folder.
    const QString path = request.isPrivate ? request.destination + QLatin1Char('/') +
                                                 QFileInfo(request.photo).completeBaseName() + QStringLiteral(".txt")
                                           : request.destination;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (file.write(outcome.output) == outcome.output.size() && file.flush())
        return true;
    file.close();
    file.remove(); // a report cut short is no report
    return false;
}

QString PhotoSession::newPrivateFolder()
{
    if (!m_private) {
        // Under the user's runtime folder where there is one (memory, gone at log-out), else
        // in the cache folder; a folder of its own per program run, so two never collide.
        // ExifTool reads "%" in the name as a format code: such a place is passed over.
        QStringList bases;
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
            bases << runtime;
        bases << QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) << QDir::tempPath();
        for (const QString &base : std::as_const(bases)) {
            if (base.isEmpty() || base.contains(QLatin1Char('%')) || !QDir().mkpath(base))
                continue;
            auto folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/lumoskop-XXXXXX"));
            if (folder->isValid()) {
                m_private = std::move(folder);
                break;
            }
        }
        if (!m_private)
            return QString();
    }
    const QString folder = m_private->path() + QLatin1Char('/') + QString::number(++m_privateCount);
    return QDir().mkpath(folder) ? folder : QString();
}
