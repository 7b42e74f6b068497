#include "app/PhotoOpener.h"

#include "dialogs/modMsgTamu.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace
{
constexpr int DesktopTimeout = 3000; // ms for xdg-mime or the file manager to answer
}

PhotoOpener::PhotoOpener(QWidget *owner) : QObject(owner), m_owner(owner)
{
}

void PhotoOpener::open(const QString &photoPath)
{
    const int attempt = ++m_attempt;
    m_photo = QFileInfo(photoPath).absoluteFilePath();
    if (!QFileInfo(photoPath).exists()) {
        m_error = 53;
        fallBack();
        return;
    }
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        // The desktop cannot be asked which application it would use: let Qt try.
        openWithApplication(QStringLiteral("?"));
        return;
    }
    auto *query = new QProcess(this);
    query->setStandardInputFile(QProcess::nullDevice());
    auto timeout = [query] { query->kill(); };
    QTimer::singleShot(DesktopTimeout, query, timeout);
    connect(query, &QProcess::finished, this, [this, query, attempt] {
        query->deleteLater();
        if (attempt == m_attempt)
            openWithApplication(QString::fromLocal8Bit(query->readAllStandardOutput()).trimmed());
    });
    connect(query, &QProcess::errorOccurred, this, [this, query, attempt](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        query->deleteLater();
        if (attempt == m_attempt)
            openWithApplication(QStringLiteral("?"));
    });
    query->start(xdgMime,
                 {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(m_photo).name()});
}

void PhotoOpener::openWithApplication(const QString &defaultApplication)
{
    if (!defaultApplication.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(m_photo))) {
        finish(0, QString(), QStringLiteral("application"));
        return;
    }
    m_error = 5;
    fallBack();
}

void PhotoOpener::fallBack()
{
    const int attempt = m_attempt;
    const QString folder = QFileInfo(m_photo).absolutePath();
    auto showFolder = [this, folder] {
        if (QFileInfo(folder).isDir() && QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
            finish(0, QString(), QStringLiteral("folder"));
        else if (m_error == 53)
            finish(53, QStringLiteral("File not found: %1").arg(m_photo), QString());
        else
            finish(5, QStringLiteral("No program could open or show %1").arg(m_photo), QString());
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (m_error == 53 || !bus.isConnected()) {
        // A file manager asked to select a file that is not there shows an error of its own.
        showFolder();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(m_photo).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, DesktopTimeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, attempt, showFolder] {
        watcher->deleteLater();
        if (attempt != m_attempt)
            return;
        if (!watcher->isError())
            finish(0, QString(), QStringLiteral("file manager"));
        else
            showFolder();
    });
}

void PhotoOpener::finish(int errorNumber, const QString &description, const QString &how)
{
    // Always after open() has returned, however quickly the answer came.
    QMetaObject::invokeMethod(
        this,
        [this, errorNumber, description, how] {
            if (errorNumber != 0 && m_owner && m_owner->isVisible())
                UniformErrorReport(m_owner, QStringLiteral("frmExiftool_imgFoto_Click"), errorNumber, description);
            emit finished(errorNumber, description, how);
        },
        Qt::QueuedConnection);
}
