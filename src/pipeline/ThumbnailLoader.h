#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

class ExifToolService;

// Makes the photo box's picture without holding up the window: decoding runs on Qt's thread
// pool, and a photo that Qt cannot decode (camera raw, HEIC) gets the largest preview it
// embeds, which ExifTool hands over into memory; nothing is written beside the photo. One
// photo is wanted at a time, and one more may be made ahead. A picture that arrives for a
// photo no longer wanted is dropped.
class ThumbnailLoader : public QObject
{
    Q_OBJECT
public:
    // service: where previews are asked for; without one, such photos keep an empty box.
    explicit ThumbnailLoader(ExifToolService *service = nullptr, QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    // The picture of photo, fitted into box, is wanted. ready() follows once, from the event
    // loop, unless another photo is wanted (or nothing) before it comes. A picture already
    // made or being made for the same file, unchanged, is used again.
    void request(const QString &photo, const QSize &box);
    // photo may be wanted next: its picture is made now, after the wanted one, and kept.
    // Whatever was made ahead for another photo is dropped.
    void prepare(const QString &photo, const QSize &box);
    // Nothing is wanted any more; what is being made ahead goes on.
    void cancel();

signals:
    // The wanted photo's picture; a null image when none could be made.
    void ready(const QString &photo, const QImage &image);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
