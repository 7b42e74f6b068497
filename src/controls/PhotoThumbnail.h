#pragma once

#include <QLabel>

class ExifToolService;
class ThumbnailLoader;

// imgFoto: the photo's thumbnail. It gives way by 10 twips (at least a pixel) while pressed,
// and a click on it (released over it) asks for the photo to be opened. The picture is made
// off the window's thread and appears when it is ready; a picture for a photo no longer shown
// is dropped.
class PhotoThumbnail : public QLabel
{
    Q_OBJECT
public:
    // service: where the previews of camera raw and HEIC photos are asked for.
    explicit PhotoThumbnail(ExifToolService *service = nullptr, QWidget *parent = nullptr);

    // The photo taken over: the box is emptied and the photo's picture begun, to be shown by
    // showPhoto().
    void takeOver(const QString &photoPath);
    // The photo's picture scaled into the box, as soon as it is made; a photo that cannot be
    // decoded leaves the box as it is.
    void showPhoto(const QString &photoPath);
    // The box is emptied, and stays so until showPhoto().
    void clearPhoto();
    // The picture of a photo likely to be shown next is made now and kept.
    void prepare(const QString &photoPath);
    // A picture is being made for the box.
    bool isLoading() const;

signals:
    void clicked();
    // The photo shown has its picture in the box, or none could be made.
    void photoShown();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void pictureReady(const QString &photoPath, const QImage &image);

    ThumbnailLoader *m_loader = nullptr;
    QString m_shown; // the photo whose picture belongs in the box
    QPoint m_home;
    bool m_pressed = false;
};
