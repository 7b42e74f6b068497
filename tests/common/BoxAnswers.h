#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class frmMsgTamu;
class QWidget;

// Answering the program's own boxes while a test runs, for every folder's tests.

// Answers every message box that opens while it lives: records its title and text, then presses
// the button with the given word (or closes the box when the word is empty).
class BoxWatcher : public QObject
{
public:
    explicit BoxWatcher(const QString &answer = QStringLiteral("Ok"));
    QStringList titles;
    QStringList texts;
    QString answer;

private:
    QTimer m_timer;
};

// Answers one box from inside its own wait: polls (every few milliseconds, for at most five
// seconds) until the message box whose caption starts with `title` is shown and active, then
// runs `action` on it. A box that never turns up is counted in missedBoxes(); any box still
// open then is closed, so a failing test ends instead of hanging.
void onMsgBox(const QString &title, std::function<void(frmMsgTamu *)> action);

// The same for the modal window QApplication reports (used for the input box).
void onModal(std::function<void(QWidget *)> action);

int missedBoxes();
void resetMissedBoxes();

// The base of the dialogs' tests, which answer their boxes from inside the boxes' own waits:
// each test starts with no sound recorded and no box missed, and fails when it missed one. The
// boxes are shown in the program's own faces, so that their text is measured as users see it.
class BoxTestCase : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
};
