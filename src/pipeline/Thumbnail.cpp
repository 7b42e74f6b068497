#include "pipeline/Thumbnail.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTransform>

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>

#include <algorithm>
#include <vector>

namespace
{

// Orientations 5 to 8 turn the picture by a quarter: its width becomes the box's height.
bool turnsQuarter(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QSize boxBeforeTurning(const QSize &box, int orientation)
{
    return turnsQuarter(orientation) ? box.transposed() : box;
}

// Decodes an embedded JPEG about the size it is shown at, then turns it and fits it into box.
QImage decodeEmbedded(const QByteArray &jpeg, const QSize &box, int orientation)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The photo's orientation is applied below; an embedded picture's own tag is not trusted.
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    const QSize fit = size.scaled(boxBeforeTurning(box, orientation), Qt::KeepAspectRatio);
    if (size.isValid() && fit.width() < size.width())
        reader.setScaledSize(fit);
    const QImage image = reader.read();
    if (image.isNull())
        return image;
    return Thumbnail::oriented(image, orientation).scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

struct ExifThumbnail {
    QByteArray jpeg;
    int orientation = 1;
};

ExifThumbnail readExifThumbnail(const QString &photoPath)
{
    ExifThumbnail found;
    ExifLoader *loader = exif_loader_new();
    if (!loader)
        return found;
    exif_loader_write_file(loader, QFile::encodeName(photoPath).constData());
    ExifData *data = exif_loader_get_data(loader);
    exif_loader_unref(loader);
    if (!data)
        return found;
    if (data->data && data->size > 0)
        found.jpeg = QByteArray(reinterpret_cast<const char *>(data->data), int(data->size));
    const ExifEntry *entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->size >= 2)
        found.orientation = exif_get_short(entry->data, exif_data_get_byte_order(data));
    exif_data_unref(data);
    return found;
}

// The EXIF thumbnail stands in for the photo only when it shows all of it (cameras keep 160x120
// for every shape of photo and pad the rest with black bars) and needs no enlarging.
QImage fromExifThumbnail(const QString &photoPath, const QSize &photoSize, const QSize &box)
{
    const ExifThumbnail exif = readExifThumbnail(photoPath);
    if (exif.jpeg.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(exif.jpeg);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    if (!size.isValid())
        return QImage();
    const qint64 expectedHeight = qint64(size.width()) * photoSize.height() / photoSize.width();
    if (qAbs(expectedHeight - size.height()) > 1)
        return QImage();
    const QSize fit = size.scaled(boxBeforeTurning(box, exif.orientation), Qt::KeepAspectRatio);
    if (fit.width() > size.width() || fit.height() > size.height())
        return QImage();
    return decodeEmbedded(exif.jpeg, box, exif.orientation);
}

} // namespace

namespace Thumbnail
{

QImage make(const QString &photoPath, const QSize &box)
{
    if (!QFileInfo(photoPath).isFile())
        return QImage();
    QImageReader reader(photoPath);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && !full.isEmpty() && reader.format() == "jpeg") {
        const QImage embedded = fromExifThumbnail(photoPath, full, box);
        if (!embedded.isNull())
            return embedded;
    }
    // Decoding straight to about the box's size costs a fraction of decoding the whole photo.
    if (full.isValid())
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

bool qtDecodes(const QString &photoPath)
{
    const QByteArray suffix = QFileInfo(photoPath).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

QImage fromPreviews(const QByteArray &exifToolJson, const QSize &box)
{
    const QJsonObject tags = QJsonDocument::fromJson(exifToolJson).array().at(0).toObject();
    std::vector<QByteArray> previews;
    for (const char *name : {"PreviewImage", "JpgFromRaw", "OtherImage", "ThumbnailImage"}) {
        const QString value = tags.value(QLatin1String(name)).toString();
        if (value.startsWith(QLatin1String("base64:")))
            previews.push_back(QByteArray::fromBase64(QStringView(value).mid(7).toLatin1()));
    }
    std::stable_sort(previews.begin(), previews.end(),
                     [](const QByteArray &a, const QByteArray &b) { return a.size() > b.size(); });
    const int orientation = tags.value(QLatin1String("Orientation")).toInt(1);
    for (const QByteArray &preview : previews) {
        const QImage image = decodeEmbedded(preview, box, orientation);
        if (!image.isNull())
            return image;
    }
    return QImage();
}

QImage oriented(const QImage &image, int orientation)
{
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.mirrored(false, true).transformed(quarter);
    case 6:
        return image.transformed(quarter);
    case 7:
        return image.mirrored(true, false).transformed(quarter);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

} // namespace Thumbnail
