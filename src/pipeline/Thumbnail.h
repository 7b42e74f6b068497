#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// The photo box's picture: the photo turned as its orientation tag says, scaled to fit box.
// Every function here may run on any thread.
namespace Thumbnail
{

// A null image when the photo is no regular file or cannot be decoded. Only regular files
// are opened: a FIFO named like a photo would make the reader wait for a writer for ever.
// The thumbnail a camera embeds in the EXIF data is taken where it shows the whole photo and
// is large enough for the box; decoding a camera photo of 24 megapixels costs many times more.
QImage make(const QString &photoPath, const QSize &box);

// Whether Qt decodes photos of this type, by the name's extension. Camera raw and HEIC
// photos are not, and their picture comes from a preview embedded in them, which ExifTool
// hands over (ExifToolAsk::Kind::Previews).
bool qtDecodes(const QString &photoPath);

// The largest preview in ExifTool's answer to ExifToolCommand::previewArguments(), turned as the photo's own
// orientation says (a preview carries none of its own) and scaled to fit box; a null image
// when the answer holds no preview that decodes.
QImage fromPreviews(const QByteArray &exifToolJson, const QSize &box);

// The EXIF orientation (1 to 8) applied to image; any other value leaves it as it is.
QImage oriented(const QImage &image, int orientation);

} // namespace Thumbnail
