#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

// Opens the photo in the application the desktop associates with its type; where the photo is
// missing, none is associated or none starts, the file manager shows the photo (selected
// where the file manager supports it, else its folder). The photo always travels as one URL,
// never inside a command line, so blanks, quotes and shell characters in its name do no harm.
// Nothing waits: the desktop is asked through signals, and finished() tells the end.
class PhotoOpener : public QObject
{
    Q_OBJECT
public:
    // With an owner window, a photo nothing could show gets the uniform error report over it
    // (unless the window is closing by then).
    explicit PhotoOpener(QWidget *owner = nullptr);

    // A later call replaces one still going.
    void open(const QString &photoPath);

signals:
    // errorNumber 0: opened or shown, how says by what ("application", "file manager",
    // "folder"); otherwise nothing could show it, with 53 (file not found) or 5.
    void finished(int errorNumber, const QString &description, const QString &how);

private:
    void openWithApplication(const QString &defaultApplication);
    void fallBack();
    void finish(int errorNumber, const QString &description, const QString &how);

    QPointer<QWidget> m_owner;
    QString m_photo;
    int m_error = 0; // why the associated application was passed over
    int m_attempt = 0;
};
