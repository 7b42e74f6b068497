#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG files. They are drawn here with the SVG renderer itself, not
// through the toolkit's SVG icon plugin: finding and loading that plugin is a good part of
// building the main window, and nothing of it is needed to draw these few small files.
namespace SvgPictures
{

// The picture at size (in device-independent pixels) for a screen of the given pixel ratio;
// transparent where the file is missing or not SVG.
QPixmap pixmap(const QString &path, const QSize &size, qreal ratio);

// An icon that draws the picture at whatever size and state it is asked for, as sharp at
// 200 % as at 100 %.
QIcon icon(const QString &path);

} // namespace SvgPictures
