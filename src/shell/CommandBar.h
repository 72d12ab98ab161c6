#pragma once

#include "base/Command.h"

#include <QObject>

#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace kora {

// The main window's toolbar and menus: one action per command, named after
// it, reporting the command it stands for when chosen.
class CommandBar : public QObject
{
    Q_OBJECT

public:
    // Builds the toolbar and the menu bar into the window.
    explicit CommandBar(QMainWindow& window);

    void enable(Command command, bool enabled);
    bool isEnabled(Command command) const;
    bool isChecked(Command command) const;

signals:
    void triggered(Command command);

private:
    void buildToolbar(QMainWindow& window);
    void buildMenus(QMainWindow& window);
    QAction* addItem(QMenu* menu, const char* caption, Command command);
    void registerAction(Command command, QAction* action);

    std::array<QAction*, kCommandCount> m_actions{};
};

} // namespace kora
