#pragma once

#include <QLabel>

// imgFoto: the photo's thumbnail. It shows the pictures it is given and makes none itself. It
// gives way by 10 twips (at least a pixel) while pressed, and a click on it (released over it)
// asks for the photo to be opened.
class PhotoThumbnail : public QLabel
{
    Q_OBJECT
public:
    explicit PhotoThumbnail(QWidget *parent = nullptr);

    // The photo's picture, scaled into the box already; a null image (a photo that cannot be
    // decoded) leaves the box as it is.
    void showPicture(const QImage &image);
    // The box is emptied.
    void clearPhoto();

signals:
    void clicked();
    // A picture was given (shown, or null and so none to show).
    void pictureGiven();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint m_home;
    bool m_pressed = false;
};
