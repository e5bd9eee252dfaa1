#include "app/command_registry.h"

namespace tavrel::gui {

QAction* CommandRegistry::add(int id, const QString& objectName, const QString& text, const QString& iconText,
                              const QString& prompt, bool checkable) {
    auto* a = new QAction(text, this);
    a->setObjectName(objectName);
    a->setData(id);
    if (!iconText.isEmpty()) a->setIconText(iconText);
    if (!prompt.isEmpty()) {
        a->setStatusTip(prompt);
        a->setToolTip(iconText.isEmpty() ? text : iconText);
    }
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, id]() { emit commandTriggered(id); });
    actions_.insert(id, a);
    return a;
}

QAction* CommandRegistry::byName(const QString& objectName) const {
    for (QAction* a : actions_)
        if (a->objectName() == objectName) return a;
    return nullptr;
}

}  // namespace tavrel::gui
