#pragma once

#include "BoxAnswers.h"
#include "FakeExifTool.h"
#include "TestPhotos.h"

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

// A settings file of the test's own.
std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir);

class frmExifTool;
// Lets the window's last command run its course: true when no ExifTool request the user
// waits for is left (the list then shows the outcome) and the thumbnail is in place; false
// after ms.
bool settle(const frmExifTool &window, int ms = 30000);

// A control of the window by its name (lvwExifTool, txtFilter, chkSort, mnuHelp …).
template <class T>
T *child(const QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}
class QRadioButton;
QRadioButton *groupButton(const QObject &window, int index); // optExif0 .. optExif5
