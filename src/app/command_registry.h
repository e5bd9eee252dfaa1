// Every command of the program as one QAction with an objectName, looked up
// by its numeric identifier. Menus, toolbar, context menu and shortcuts are
// built from these actions, and tests trigger commands through them.
#pragma once

#include <QAction>
#include <QMap>
#include <QObject>
#include <QString>

namespace tavrel::gui {

class CommandRegistry : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // text: menu text; iconText: the toolbar caption (empty: the menu text).
    QAction* add(int id, const QString& objectName, const QString& text, const QString& iconText = {},
                 const QString& prompt = {}, bool checkable = false);
    QAction* action(int id) const { return actions_.value(id); }
    QAction* byName(const QString& objectName) const;
    const QMap<int, QAction*>& all() const { return actions_; }

  signals:
    void commandTriggered(int id);

  private:
    QMap<int, QAction*> actions_;
};

}  // namespace tavrel::gui
