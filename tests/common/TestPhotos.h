#pragma once

#include <QString>
#include <QStringList>

// Photos the tests make themselves: a drawn image saved as JPEG, with camera tags written
// by the real ExifTool, so that no test depends on a file from outside the project.
namespace TestPhotos {

// The ExifTool the tests use (found on PATH); empty when none is installed.
QString exiftool();

// Saves a small drawn JPEG at path; false when it could not be written.
bool makeJpeg(const QString &path, int width = 64, int height = 48);

// Writes tags with ExifTool in place, e.g. {"-Make=Canon", "-Model=EOS 5D"}; false on failure.
bool writeTags(const QString &path, const QStringList &assignments);

// A JPEG with a typical set of camera tags (maker, model, lens, focal length, its 35 mm
// equivalent, exposure, aperture, ISO, exposure compensation, program, metering, white balance).
bool makeCameraPhoto(const QString &path);

// Runs ExifTool the way the program does (-lang L -a -u -g1 -w! txt photo); false on failure.
bool writeReport(const QString &photo, const QString &lang);

} // namespace TestPhotos
