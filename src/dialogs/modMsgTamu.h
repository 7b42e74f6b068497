#pragma once

#include <QString>
#include <QVariant>

class QWidget;

// The last answer of a message box, stored by the callers that keep it (the uniform error
// report, the version notice). MsgTamu clears it before it shows its box.
extern QString pubMsgResult;

// Shows the program's message box and returns the word of the pressed button ("Ok", "Ja",
// "Nein", "Exit", "Ignorieren", "Wiederholen", "Beenden"), or the empty text when the
// countdown ran out or the box was closed without a button.
//  style:         tens digit the buttons, the rest icon and sound (MsgTamuRules::style)
//  defaultButton: 0 to 6 gets the focus and answers Enter; 7 for none
//  seconds:       below 2 the box waits modally; from 2 on it closes itself after that many
//                 seconds and the rest of the program keeps running meanwhile
//  colours:       a colour number (red in the lowest byte), or the empty text for the
//                 defaults 16050915 (back) and 3482368 (fore)
//  owner:         the box is placed centred over it (offset 10) at its designed size and then
//                 grows to the right and down, kept within the owner's monitor work area
QString MsgTamu(const QString &text, int style, int defaultButton, const QString &title, int seconds,
                const QVariant &backColour = QString(), const QVariant &foreColour = QString(),
                QWidget *owner = nullptr);

// The uniform error report: "<number> <description>" with OK and the stop sign over owner,
// titled with the reporting procedure's label; the answer goes to pubMsgResult.
void UniformErrorReport(QWidget *owner, const QString &label, int number, const QString &description);

struct Notice;
// A notice of the photo's road over owner: an error with the stop sign, a warning with the
// exclamation mark, information with its sign; on the error report's pale red, titled with
// the notice's title or the program's name.
void ShowNotice(QWidget *owner, const Notice &notice);
