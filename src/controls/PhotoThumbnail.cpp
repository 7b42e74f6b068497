#include "controls/PhotoThumbnail.h"

#include "controls/Twips.h"

#include <QMouseEvent>

PhotoThumbnail::PhotoThumbnail(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("imgFoto"));
    setToolTip(QStringLiteral(" Show with MS Photo "));
    setAccessibleName(QStringLiteral("Show with MS Photo"));
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
}

void PhotoThumbnail::showPicture(const QImage &image)
{
    if (!image.isNull())
        setPixmap(QPixmap::fromImage(image));
    emit pictureGiven();
}

void PhotoThumbnail::clearPhoto()
{
    clear();
}

void PhotoThumbnail::mousePressEvent(QMouseEvent *event)
{
    if (!m_pressed) {
        m_pressed = true;
        m_home = pos();
        const int step = qMax(1, Twips::toPx(10));
        move(m_home + QPoint(step, step));
    }
    event->accept();
}

void PhotoThumbnail::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    move(m_home);
    event->accept();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}
