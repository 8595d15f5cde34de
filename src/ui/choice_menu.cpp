#include "ui/choice_menu.h"

#include <QActionGroup>
#include <QMenu>

QMenu* addChoiceMenu(QMenu* parent, const char* name, const QString& caption,
                     const std::vector<Choice>& choices, QAction** items,
                     const std::function<void(int)>& chosen) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (size_t k = 0; k < choices.size(); ++k) {
        QAction* a = menu->addAction(choices[k].caption);
        a->setObjectName(QLatin1String(choices[k].name));
        a->setCheckable(true);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [chosen, k] { chosen(int(k)); });
        items[k] = a;
    }
    return menu;
}
