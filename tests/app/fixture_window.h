#pragma once

#include "TestPhotos.h"

#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// Answers the program's message boxes while a test runs: records each box's title and text,
// then presses the button with the given word (or closes the box when the word is empty).
class BoxWatcher : public QObject
{
public:
    explicit BoxWatcher(const QString &answer = QStringLiteral("Ok"));
    QStringList titles;
    QStringList texts;
    QString answer;

private:
    QTimer m_timer;
};

// A folder standing for the program's folder, holding a fake `exiftool` that logs each call,
// refuses to hide overlapping calls, waits, and then hands over to the real ExifTool.
class FakeExifTool
{
public:
    explicit FakeExifTool(double delaySeconds = 0);
    ~FakeExifTool();
    QString folder() const { return m_dir.path(); }
    QStringList calls() const;   // one line of arguments per call
    bool overlapped() const;     // two calls ran at the same time

private:
    QTemporaryDir m_dir;
};

// A settings file of the test's own.
std::unique_ptr<QSettings> freshSettings(const QTemporaryDir &dir);
