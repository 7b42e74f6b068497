#pragma once

#include <QString>
#include <QStringList>

// Next and previous photo: the photos of the current photo's folder, in the file dialog's
// name order (case-insensitive, numbers by value, so IMG_2 comes before IMG_10).
namespace PhotoBrowsing {

// The extensions taken as photos: those the file dialog offers, and the common camera raw
// types ExifTool reads. Compared case-insensitively.
const QStringList &photoExtensions();
bool isPhoto(const QString &fileName);

// The photos of the folder, sorted.
QStringList photosInFolder(const QString &folder);

// The photo after (step +1) or before (step -1) the given one; empty at the ends. A photo
// that is no longer there is placed where its name would stand.
QString neighbour(const QString &photoPath, int step);

} // namespace PhotoBrowsing
