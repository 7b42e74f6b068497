#include "controls/PhotoFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>

namespace PhotoFileDialog
{

QStringList nameFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1].trimmed();
        if (pattern == QLatin1String("*.*")) {
            pattern = QStringLiteral("*");
        } else if (pattern.toLower() != pattern.toUpper()) {
            pattern += QLatin1Char(' ') + pattern.toUpper();
            if (pattern.startsWith(QLatin1String("*.jpg")))
                pattern += QStringLiteral(" *.jpeg *.JPEG");
        }
        out << parts[i].trimmed().section(QLatin1Char('('), 0, 0).trimmed() + QStringLiteral(" (") + pattern +
                   QLatin1Char(')');
    }
    return out;
}

QString choose(QWidget *parent, const QString &current)
{
    QFileDialog dialog(parent, QString::fromUtf8(Title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(QString::fromLatin1(Filter)));
    const QFileInfo info(current);
    if (!current.trimmed().isEmpty())
        dialog.setDirectory(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    if (info.isFile())
        dialog.selectFile(info.absoluteFilePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return QString();
    const QUrl first = mime->urls().constFirst();
    return first.isLocalFile() ? first.toLocalFile() : QString();
}

} // namespace PhotoFileDialog
