#include "fixture_boxes.h"

#include "dialogs/frmMsgTamu.h"

#include <QApplication>
#include <QTimer>

namespace
{
int missed = 0;
constexpr int PollMs = 5;
constexpr int Tries = 1000;

void poll(std::function<QWidget *()> find, std::function<void(QWidget *)> action, int triesLeft)
{
    QWidget *w = find();
    if (w && w->isVisible() && QApplication::activeWindow() == w) {
        action(w);
        return;
    }
    if (triesLeft == 0) {
        ++missed;
        if (frmMsgTamu *box = frmMsgTamu::current())
            box->close();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        return;
    }
    QTimer::singleShot(PollMs, qApp, [=] { poll(find, action, triesLeft - 1); });
}
} // namespace

void onMsgBox(const QString &title, std::function<void(frmMsgTamu *)> action)
{
    poll(
        [title]() -> QWidget * {
            frmMsgTamu *box = frmMsgTamu::current();
            return box && box->windowTitle().startsWith(title) ? box : nullptr;
        },
        [action](QWidget *w) { action(static_cast<frmMsgTamu *>(w)); }, Tries);
}

void onModal(std::function<void(QWidget *)> action)
{
    poll([]() { return QApplication::activeModalWidget(); }, action, Tries);
}

int missedBoxes()
{
    return missed;
}
void resetMissedBoxes()
{
    missed = 0;
}
