#include "app/PhotoOpener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace PhotoOpener {

QString defaultApplication(const QString &photoPath)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return QStringLiteral("?");
    const QString mime = QMimeDatabase().mimeTypeForFile(photoPath).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mime});
    if (!query.waitForFinished(3000))
        return QStringLiteral("?");
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

namespace {
bool showInFileManager(const QUrl &photo)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{photo.toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage;
}
} // namespace

Result open(const QString &photoPath)
{
    Result r;
    const QFileInfo info(photoPath);
    if (!info.exists()) {
        r.errorNumber = 53;
        r.description = QStringLiteral("File not found: %1").arg(photoPath);
        return r;
    }
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    const QString app = defaultApplication(info.absoluteFilePath());
    if (!app.isEmpty() && QDesktopServices::openUrl(url)) {
        r.how = QStringLiteral("application");
        return r;
    }
    if (showInFileManager(url)) {
        r.how = QStringLiteral("file manager");
        return r;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()))) {
        r.how = QStringLiteral("folder");
        return r;
    }
    r.errorNumber = 5;
    r.description = QStringLiteral("No program could open or show %1").arg(photoPath);
    return r;
}

} // namespace PhotoOpener
