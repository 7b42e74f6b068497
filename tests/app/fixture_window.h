#pragma once

#include "BoxAnswers.h"
#include "FakeExifTool.h"
#include "TestPhotos.h"

#include "start/SettingsStore.h"
#include "app/frmExifTool.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/PhotoBrowser.h"

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

class ReportListModel;
class QRadioButton;

// A settings file of the test's own.
std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir);

// A control of the window by its name (lvwExifTool, txtFilter, chkSort, mnuHelp, actShow …).
template <class T> T *child(const QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

// The main window as main() makes it: settings of the test's own (Lumoskop.conf in a folder
// the test gives), the ExifTool service, the photo browser and the window. Settings written to
// ini before load() take effect as a stored file's would.
struct ShownWindow {
    explicit ShownWindow(const QTemporaryDir &dir);
    explicit ShownWindow(QSettings &settings); // a settings file the test opened itself
    ~ShownWindow();

    // The program started with commandLine: the browser reads it, the window loads.
    void load(const QString &commandLine = QString());
    // Lets the last command run its course: true when no ExifTool request the user waits for
    // is left (the list then shows the outcome) and a report shown has its picture; false after
    // ms.
    bool settle(int ms = 30000);
    void trigger(const char *action);       // an action by its name: actShow, mnuNext …
    void pickLanguage(const QString &code); // from the language box's open list
    void clickHeader(int section);          // a column header of the list

    // What the window shows.
    QString path() const;           // the path box
    ReportListModel *model() const; // what the list shows
    int rows() const;
    QString label(int index) const;             // lblExif0 .. lblExif11
    QRadioButton *groupButton(int index) const; // optExif0 .. optExif5
    bool hasPicture() const;

    std::unique_ptr<QSettings> ownSettings;
    QSettings *ini;
    SettingsStore store;
    ExifToolService service;
    PhotoBrowser browser;
    frmExifTool window;
    bool picturePending = false;
};
