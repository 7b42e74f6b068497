#include "dialogs/modFormUtils.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect placeFormScreenWorkArea(QWidget *reference)
{
    QScreen *screen = nullptr;
    if (reference) {
        const QWidget *win = reference->window();
        // The monitor under the window's centre; off every monitor, the one Qt keeps for
        // the window, which is its nearest.
        screen = QGuiApplication::screenAt(win->frameGeometry().center());
        if (!screen)
            screen = win->screen();
    } else {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen)
        return placeFormWorkArea(screen->availableGeometry(), screen->geometry().size());
    if (QScreen *primary = QGuiApplication::primaryScreen())
        return placeFormWorkArea(QRect(), primary->geometry().size());
    return QRect();
}

namespace
{

QMargins frameMargins(const QWidget *win)
{
    const QRect g = win->geometry();
    const QRect f = win->frameGeometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

// A dialog is placed before it is first shown, when the window system has not yet told its
// frame; the reference window's title bar and borders are the best guess for it.
QSize frameSize(const QWidget *form, const QWidget *reference)
{
    if (form->isVisible())
        return form->frameGeometry().size();
    // A window without a frame gets none from the window manager either.
    if (form->windowFlags().testFlag(Qt::FramelessWindowHint))
        return form->size();
    return form->size().grownBy(reference ? frameMargins(reference->window()) : QMargins());
}

} // namespace

void PlaceForm(QWidget *form, QWidget *reference, const QString &mode, int offset)
{
    if (!form)
        return;
    QWidget *win = form->window();
    const QRect workArea = placeFormScreenWorkArea(reference);
    if (workArea.isEmpty())
        return;
    const QRect ref = reference ? reference->window()->frameGeometry() : workArea;
    win->move(placeFormPosition(frameSize(win, reference), ref, mode, offset, workArea));
}

void keepFormInside(QWidget *form, QWidget *reference)
{
    if (!form)
        return;
    QWidget *win = form->window();
    const QRect workArea = placeFormScreenWorkArea(reference);
    if (workArea.isEmpty())
        return;
    win->move(keepInsideWorkArea(win->pos(), frameSize(win, reference), workArea));
}
