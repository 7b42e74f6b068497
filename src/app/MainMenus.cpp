#include "app/MainMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

QHash<QString, QAction *> buildActions(QMainWindow *window, const std::vector<ActionSpec> &table)
{
    QHash<QString, QMenu *> menus;
    for (const auto &[name, caption] : {std::pair{"mnuDatei", "&File"}, {"mnuFoto", "&Photo"}, {"mnuHelp", "&Help"}}) {
        QMenu *menu = window->menuBar()->addMenu(QLatin1String(caption));
        menu->setObjectName(QLatin1String(name));
        menu->setToolTipsVisible(true);
        menus.insert(QLatin1String(name), menu);
    }
    QHash<QString, QAction *> actions;
    for (const ActionSpec &spec : table) {
        auto *action = new QAction(spec.text, window);
        action->setObjectName(QLatin1String(spec.name));
        action->setShortcuts(spec.keys);
        QObject::connect(action, &QAction::triggered, window, spec.run);
        if (spec.menu)
            menus.value(QLatin1String(spec.menu))->addAction(action);
        else
            window->addAction(action);
        actions.insert(action->objectName(), action);
    }
    return actions;
}
