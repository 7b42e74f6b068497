#pragma once

#include <QString>
#include <functional>

class frmMsgTamu;
class QWidget;

// Answers a box from inside its own wait: polls (every few milliseconds, for at most five
// seconds) until the message box whose caption starts with `title` is shown and active, then
// runs `action` on it. A box that never turns up is counted in missedBoxes(); any box still
// open then is closed, so a failing test ends instead of hanging.
void onMsgBox(const QString &title, std::function<void(frmMsgTamu *)> action);

// The same for the modal window QApplication reports (used for the input box).
void onModal(std::function<void(QWidget *)> action);

int missedBoxes();
void resetMissedBoxes();
