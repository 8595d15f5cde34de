// A submenu of exclusive choices, as the Tools and View menus have them.
#pragma once
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;

/// One item of a choice menu: its object name and its caption.
struct Choice {
    const char* name;
    QString caption;
};

/// Adds to `parent` the submenu `caption` (object name `name`, on the menu and its action)
/// with one checkable, mutually exclusive item per choice, in order, stored in `items[k]`.
/// Triggering item k calls `chosen(k)`. Returns the submenu, for items after the choices.
QMenu* addChoiceMenu(QMenu* parent, const char* name, const QString& caption,
                     const std::vector<Choice>& choices, QAction** items,
                     const std::function<void(int)>& chosen);
