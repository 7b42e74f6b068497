#include "dialogs/WindowFrame.h"

#include "dialogs/modFormUtils.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace WindowFrame
{

QMargins margins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle || !handle->handle())
        return QMargins();
    return handle->frameMargins();
}

QRect outer(const QWidget *window)
{
    return window->geometry().marginsAdded(margins(window));
}

QScreen *screenOf(const QRect &outer)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> areas;
    for (const QScreen *screen : screens)
        areas << screen->geometry();
    const int index = landingScreen(outer, areas);
    return index >= 0 ? screens.at(index) : nullptr;
}

} // namespace WindowFrame
