#pragma once

#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;

// CommonDialog1's file-open dialog, as the file button uses it.
namespace PhotoFileDialog
{

// "JPEG (*.jpg) |*.jpg|..." as Qt's dialog wants it. Cameras name files IMG_0001.JPG and
// Linux file systems tell case apart, so each pattern also matches in capitals.
QStringList nameFilters(const QString &filter);

constexpr const char *Title = "Foto auswählen";
constexpr const char *Filter = "JPEG (*.jpg) |*.jpg|PNG (*.png) |*.png|BMP (*.bmp) |*.bmp|alle Dateien (*.*) |*.*";

// Lets the user choose a photo, starting in the folder of current (the path box's text);
// empty when cancelled.
QString choose(QWidget *parent, const QString &current);

// The first local file of a drop; empty when the drop holds none.
QString droppedFile(const QMimeData *mime);

} // namespace PhotoFileDialog
