#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The photo box's picture: the photo turned as its orientation tag says, scaled to fit box.
namespace Thumbnail
{

// A null image when the photo is no regular file or cannot be decoded. Only regular files
// are opened: a FIFO named like a photo would make the reader wait for a writer for ever.
QImage make(const QString &photoPath, const QSize &box);

} // namespace Thumbnail
