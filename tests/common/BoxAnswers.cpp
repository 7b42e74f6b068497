#include "BoxAnswers.h"

#include "controls/CaptionedTextBox.h"
#include "controls/Fonts.h"
#include "controls/GradientButton.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmMsgTamu.h"

#include <QApplication>
#include <QTest>

namespace
{
int missed = 0;
constexpr int PollMs = 5;
constexpr int Tries = 1000;

// The visible button whose caption, without its access-key mark, is the word.
bool press(frmMsgTamu *box, const QString &word)
{
    for (int i = 0; i < 7; ++i) {
        GradientButton *b = box->cmdButton(i);
        if (b && b->isVisible() &&
            b->text().remove(QLatin1Char('&')).trimmed().compare(word, Qt::CaseInsensitive) == 0) {
            b->click();
            return true;
        }
    }
    return false;
}

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

BoxWatcher::BoxWatcher(const QString &word) : answer(word)
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        frmMsgTamu *box = frmMsgTamu::current();
        if (!box || !box->isVisible())
            return;
        titles << box->windowTitle();
        texts << box->txtMsgText()->text();
        if (answer.isEmpty() || !press(box, answer))
            box->close();
    });
    m_timer.start(20);
}

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

void BoxTestCase::initTestCase()
{
    installDesignLook();
    SignalSound::setRecording(true);
}

void BoxTestCase::init()
{
    SignalSound::clearRecorded();
    resetMissedBoxes();
}

void BoxTestCase::cleanup()
{
    QCOMPARE(missedBoxes(), 0);
}
