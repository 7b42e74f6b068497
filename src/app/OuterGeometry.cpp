#include "app/OuterGeometry.h"

#include "app/WindowGeometry.h"
#include "dialogs/WindowFrame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cmath>

OuterGeometry::OuterGeometry(QWidget *window) : QObject(window), m_window(window)
{
    m_window->installEventFilter(this);
}

QRect OuterGeometry::outer() const
{
    return WindowFrame::outer(m_window);
}

void OuterGeometry::restore(const QRect &outer)
{
    QList<QRect> screens, available;
    for (const QScreen *screen : QGuiApplication::screens()) {
        screens << screen->geometry();
        // At a fractional scale (150 %) the frame's thickness is rounded to whole
        // device-independent pixels, and the real frame may end up to one pixel further right
        // and lower than the rectangle computed; a pixel to spare keeps it on the screen.
        const qreal ratio = screen->devicePixelRatio();
        const int spare = ratio != std::floor(ratio) ? 1 : 0;
        available << screen->availableGeometry().adjusted(0, 0, -spare, -spare);
    }
    m_wanted = WindowGeometry::fitOnScreens(outer, screens, available);
    apply(WindowFrame::margins(m_window));
    // With a frame already known the window stands as wanted; otherwise the frame is awaited.
    m_waiting = m_applied.isNull();
    watchWindowHandle();
}

void OuterGeometry::apply(const QMargins &frame)
{
    m_applied = frame;
    const QRect inner = m_wanted.marginsRemoved(frame);
    const QSize size = inner.size().expandedTo(QSize(1, 1));
    if (m_window->testAttribute(Qt::WA_WState_Created)) {
        m_window->setGeometry(QRect(inner.topLeft(), size));
    } else {
        // A window not yet made asks for its frame's place, so the window manager puts the
        // frame there from the start; only the inner size waits for the frame.
        m_window->move(m_wanted.topLeft());
        m_window->resize(size);
    }
}

void OuterGeometry::watchWindowHandle()
{
    if (m_watchingHandle || !m_window->windowHandle())
        return;
    m_window->windowHandle()->installEventFilter(this);
    m_watchingHandle = true;
}

void OuterGeometry::correct()
{
    if (!m_waiting)
        return;
    const QMargins frame = WindowFrame::margins(m_window);
    if (frame == m_applied)
        return;
    apply(frame);
    m_waiting = false;
}

bool OuterGeometry::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::WinIdChange:
    case QEvent::Show:
        watchWindowHandle();
        correct();
        break;
    case QEvent::Expose:
    case QEvent::Move:
    case QEvent::Resize:
        correct();
        break;
    case QEvent::WindowStateChange:
        // Maximised, minimised or full screen by the user or the window manager: from here on
        // the window manager's rectangle is the one that counts.
        if (watched == m_window && m_window->windowState() != Qt::WindowNoState)
            m_waiting = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
