#include "controls/PhotoThumbnail.h"

#include "controls/Twips.h"
#include "pipeline/ThumbnailLoader.h"

#include <QMouseEvent>

PhotoThumbnail::PhotoThumbnail(ExifToolService *service, QWidget *parent)
    : QLabel(parent), m_loader(new ThumbnailLoader(service, this))
{
    setObjectName(QStringLiteral("imgFoto"));
    setToolTip(QStringLiteral(" Show with MS Photo "));
    setAccessibleName(QStringLiteral("Show with MS Photo"));
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    connect(m_loader, &ThumbnailLoader::ready, this, &PhotoThumbnail::pictureReady);
}

void PhotoThumbnail::takeOver(const QString &photoPath)
{
    clearPhoto();
    if (photoPath.trimmed().isEmpty())
        m_loader->cancel();
    else
        m_loader->request(photoPath, size());
}

void PhotoThumbnail::showPhoto(const QString &photoPath)
{
    m_shown = photoPath;
    m_loader->request(photoPath, size());
}

void PhotoThumbnail::clearPhoto()
{
    m_shown.clear();
    clear();
}

void PhotoThumbnail::prepare(const QString &photoPath)
{
    m_loader->prepare(photoPath, size());
}

bool PhotoThumbnail::isLoading() const
{
    return !m_shown.isEmpty() && m_loader->isBusy();
}

void PhotoThumbnail::pictureReady(const QString &photoPath, const QImage &image)
{
    if (photoPath != m_shown)
        return;
    if (!image.isNull())
        setPixmap(QPixmap::fromImage(image));
    emit photoShown();
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
