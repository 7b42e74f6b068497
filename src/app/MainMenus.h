#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMainWindow;

// One command of the main window: an action that the menus, the keys and the buttons share.
struct ActionSpec {
    const char *name;         // its object name, by which buttons and tests find it
    QString text;             // the menu caption
    QList<QKeySequence> keys; // work anywhere in the window
    const char *menu;         // "mnuDatei" ("&File"), "mnuFoto" ("&Photo"), "mnuHelp" ("&Help"); null: none
    std::function<void()> run;
};

// The main window's commands as one table: each becomes a QAction of the window, so that its
// keys work wherever the focus is, and those with a menu are listed there in table order.
// Returns the actions by name.
QHash<QString, QAction *> buildActions(QMainWindow *window, const std::vector<ActionSpec> &table);
