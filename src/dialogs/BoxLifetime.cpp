#include "dialogs/BoxLifetime.h"

#include "dialogs/frmMsgTamu.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>

namespace
{

// Set on a window while the program keeps it hidden; the boxes ask for it when they show.
constexpr char ClosedMark[] = "lumoskopWindowClosed";

QWidget *ownerWindow(const QWidget *box)
{
    QWidget *owner = box->parentWidget();
    return owner ? owner->window() : nullptr;
}

bool isOpenBox(QWidget *window)
{
    if (!qobject_cast<QDialog *>(window))
        return false;
    if (window->isVisible())
        return true;
    // A message box that stepped aside for a later one is hidden, yet still waits for its answer.
    auto *msg = qobject_cast<frmMsgTamu *>(window);
    return msg && msg->isSuspended() && !msg->isAnswered();
}

// Closing one box may close or delete others (those it owns), so each is looked at again
// just before it is closed.
void closeBoxes(const QList<QPointer<QWidget>> &boxes)
{
    for (const QPointer<QWidget> &box : boxes) {
        if (box && isOpenBox(box))
            box->close();
    }
}

QList<QPointer<QWidget>> openBoxes(const QWidget *ownedBy)
{
    QList<QPointer<QWidget>> boxes;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != ownedBy && isOpenBox(window) && (!ownedBy || ownerWindow(window) == ownedBy))
            boxes.append(window);
    }
    return boxes;
}

class Watcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Hide && type != QEvent::Show) || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (!window->isWindow())
            return false;
        if (type == QEvent::Hide) {
            // Minimising sends a hide event too, but the window stays shown for the program.
            if (!window->isHidden())
                return false;
            window->setProperty(ClosedMark, true);
            closeBoxes(openBoxes(window));
            return false;
        }
        if (window->property(ClosedMark).isValid())
            window->setProperty(ClosedMark, QVariant());
        QWidget *owner = qobject_cast<QDialog *>(window) ? ownerWindow(window) : nullptr;
        if (owner && owner->property(ClosedMark).toBool()) {
            // Not from inside its showing: the box's own wait takes the close as its first event.
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

void BoxLifetime::watch()
{
    static QPointer<Watcher> watcher;
    if (watcher || !qApp)
        return;
    watcher = new Watcher(qApp);
    qApp->installEventFilter(watcher);
}

void BoxLifetime::closeAll()
{
    closeBoxes(openBoxes(nullptr));
}
