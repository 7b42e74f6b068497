#include "pipeline/Thumbnail.h"

#include <QFileInfo>
#include <QImageReader>

namespace Thumbnail
{

QImage make(const QString &photoPath, const QSize &box)
{
    if (!QFileInfo(photoPath).isFile())
        return QImage();
    QImageReader reader(photoPath);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    // Decoding straight to about the box's size costs a fraction of decoding the whole photo.
    if (full.isValid())
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace Thumbnail
