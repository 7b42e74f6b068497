#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

// Gives a top-level window a stored OUTER rectangle (frame included) and keeps it when the
// window manager's frame arrives. A window manager frames a window only after it is mapped,
// and tells the frame's size later still, so the inner size that makes up the outer one is
// known only then: until that moment the frame counts as nothing, and the window is
// corrected when the frame is first reported (on the move, resize or expose the window
// manager causes), however late that is. No frame ever reported (no window manager) means
// inner and outer are the same, and nothing needs correcting.
class OuterGeometry : public QObject
{
    Q_OBJECT
public:
    explicit OuterGeometry(QWidget *window);

    // The window's frame moves to outer's top left and takes outer's size, after `outer` has
    // been fitted into the available area of the screen it lands on (WindowGeometry).
    // Before show() or after it, alike.
    void restore(const QRect &outer);

    // The outer rectangle as the window reports it now (what is stored at close).
    QRect outer() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchWindowHandle();
    void apply(const QMargins &frame);
    void correct();

    QWidget *m_window;
    QRect m_wanted;
    QMargins m_applied; // the frame the window's inner rectangle was last computed with
    bool m_waiting = false;
    bool m_watchingHandle = false;
};
