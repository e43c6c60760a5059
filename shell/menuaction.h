#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QMenu>

// A menu item of the main window, named for the tests and scripts that find it, with its keys; the keys work
// wherever the focus is in the window, the grid included.
inline QAction* addMenuAction(QMenu* menu, const QString& name, const QString& text, const QList<QKeySequence>& keys)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}
