#include "dialogs/modFormUtils.h"

#include "dialogs/WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect placeFormScreenWorkArea(QWidget *reference)
{
    // The monitor the reference window lands on, by the rule the main window keeps its own
    // place by.
    QScreen *screen = reference ? WindowFrame::screenOf(WindowFrame::outer(reference->window())) : nullptr;
    if (!screen)
        screen = reference ? reference->window()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        return placeFormWorkArea(screen->availableGeometry(), screen->geometry().size());
    if (QScreen *primary = QGuiApplication::primaryScreen())
        return placeFormWorkArea(QRect(), primary->geometry().size());
    return QRect();
}

namespace
{

// A dialog is placed before it is first shown, when the window system has not yet told its
// frame; the reference window's title bar and borders are the best guess for it.
QSize frameSize(const QWidget *form, const QWidget *reference)
{
    if (form->isVisible())
        return WindowFrame::outer(form).size();
    // A window without a frame gets none from the window manager either.
    if (form->windowFlags().testFlag(Qt::FramelessWindowHint))
        return form->size();
    return form->size().grownBy(reference ? WindowFrame::margins(reference->window()) : QMargins());
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
    const QRect ref = reference ? WindowFrame::outer(reference->window()) : workArea;
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
