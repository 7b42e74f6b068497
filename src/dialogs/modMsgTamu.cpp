#include "dialogs/modMsgTamu.h"

#include "dialogs/BoxLifetime.h"
#include "dialogs/MsgTamuRules.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmMsgTamu.h"
#include "dialogs/modFormUtils.h"
#include "pipeline/Notice.h"

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

QString pubMsgResult;

QString MsgTamu(const QString &text, int style, int defaultButton, const QString &title, int seconds,
                const QVariant &backColour, const QVariant &foreColour, QWidget *owner)
{
    using namespace MsgTamuRules;
    BoxLifetime::watch();

    // A box opened from an event handler while another one waits (its countdown runs the
    // event loop) gets a window and settings of its own; the waiting box steps aside until
    // this one is answered, so the user still sees one box at a time.
    QPointer<frmMsgTamu> outer = frmMsgTamu::current();

    QPointer<frmMsgTamu> box = new frmMsgTamu(owner ? owner->window() : nullptr);
    PlaceForm(box, owner, QStringLiteral("center"), 10);

    box->setColours(colour(backColour, DefaultBackColour), colour(foreColour, DefaultForeColour));
    box->setWindowTitle(title);
    const Style chosen = MsgTamuRules::style(style);
    box->applyStyle(chosen, defaultButton);
    const int needed = box->setMessage(displayText(text));
    box->applySize(sizeFor(needed));

    // The box grows right and down from where it was placed; a tall one would otherwise hang
    // below the bottom of the screen with its buttons out of reach.
    keepFormInside(box, owner);

    if (!chosen.sound.isEmpty())
        SignalSound::playSignal(chosen.sound);

    pubMsgResult.clear();
    if (outer)
        outer->suspend();
    box->start(seconds);
    if (!box->isAnswered()) {
        QEventLoop loop;
        QObject::connect(box, &frmMsgTamu::answered, &loop, &QEventLoop::quit);
        // The owner may go away while the box counts down, and takes the box with it.
        QObject::connect(box, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::DialogExec);
    }
    const QString result = box ? box->pubMsgTamu : QString();
    delete box.data();
    if (outer)
        outer->resume();
    return result;
}

void UniformErrorReport(QWidget *owner, const QString &label, int number, const QString &description)
{
    pubMsgResult = MsgTamu(MsgTamuRules::errorReportText(number, description), 4, 0, label, 1,
                           MsgTamuRules::ErrorBackColour, MsgTamuRules::DefaultForeColour, owner);
}

void ShowNotice(QWidget *owner, const Notice &notice)
{
    const int style = notice.kind == Notice::Kind::Error ? 4 : notice.kind == Notice::Kind::Warning ? 3 : 1;
    pubMsgResult = MsgTamu(notice.text, style, 0, notice.title.isEmpty() ? QStringLiteral("Lumoskop") : notice.title, 1,
                           MsgTamuRules::ErrorBackColour, MsgTamuRules::DefaultForeColour, owner);
}
