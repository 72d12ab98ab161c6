#include "shell/CommandBar.h"

#include "shell/ToolbarIcons.h"
#include "widgets/CenterForm.h"

#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace kora {

namespace {

const char* const kToolTips[kToolbarButtonCount] = {
    "New Lookup",   "Edit/Delete Lookup", "Backup/Restore Data", "Change Workspace/State",
    "Print Lookup", "Export Lookup",      "Print Manual",        "Update",
    "Help",         "Exit Kora"};

constexpr int kButtonTwips = 1000;

} // namespace

CommandBar::CommandBar(QMainWindow& window) : QObject(&window)
{
    buildToolbar(window);
    buildMenus(window);
}

void CommandBar::buildToolbar(QMainWindow& window)
{
    // SSRibbon1: ten buttons of 1000 twips in one row from left to right; the
    // panel holding them is 123 twips higher than a button.
    auto* ribbon = new QToolBar(&window);
    ribbon->setObjectName(QStringLiteral("SSRibbon1"));
    ribbon->setMovable(false);
    ribbon->setFloatable(false);
    ribbon->setContextMenuPolicy(Qt::PreventContextMenu);
    const int button = twipsToPixels(kButtonTwips);
    ribbon->setIconSize(QSize(button * 2 / 3, button * 2 / 3));
    ribbon->setFixedHeight(button + twipsToPixels(123));
    ribbon->layout()->setSpacing(0);
    ribbon->layout()->setContentsMargins(0, 0, 0, 0);
    for (int index = 0; index < kToolbarButtonCount; ++index) {
        auto* action =
            new QAction(ToolbarIcons::icon(index), QString::fromLatin1(kToolTips[index]), &window);
        registerAction(toolbarButton(index), action);
        action->setToolTip(QString::fromLatin1(kToolTips[index]));
        ribbon->addAction(action);
        ribbon->widgetForAction(action)->setFixedSize(button, button);
    }
    window.addToolBar(Qt::TopToolBarArea, ribbon);
}

void CommandBar::buildMenus(QMainWindow& window)
{
    QMenuBar* bar = window.menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addItem(file, "&Open New State/Workspace", Command::NewState);
    addItem(file, "&Backup/Restore User Notes and Fields", Command::Backup);
    addItem(file, "&Printer Setup", Command::PrinterSetup);
    addItem(file, "E&xit", Command::Exit);

    QMenu* search = bar->addMenu(QStringLiteral("&Search"));
    search->setObjectName(QStringLiteral("mnuSearch"));
    addItem(search, "&New Search", Command::NewSearch);
    addItem(search, "&Edit Search", Command::EditSearch);
    addItem(search, "&Print Search", Command::PrintSearch);
    addItem(search, "&Export Search", Command::Export);
    addItem(search, "Breakdown...", Command::Breakdown);

    QMenu* update = bar->addMenu(QStringLiteral("&Update"));
    update->setObjectName(QStringLiteral("mnuUpdateMenu"));
    addItem(update, "Update Database", Command::UpdateDatabase);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelpMenu"));
    addItem(help, "&Program Help", Command::ProgramHelp);
    addItem(help, "Print &Manual", Command::PrintManual);
    addItem(help, "&About", Command::About);
    addItem(help, "&Data Version", Command::DataVersion);
    // A setting rather than a command: it is read when a lookup runs.
    addItem(help, "Copy SQL to Clipboard", Command::CopySql)->setCheckable(true);
}

QAction* CommandBar::addItem(QMenu* menu, const char* caption, Command command)
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    registerAction(command, action);
    return action;
}

void CommandBar::registerAction(Command command, QAction* action)
{
    action->setObjectName(QString::fromLatin1(commandName(command)));
    m_actions[static_cast<int>(command)] = action;
    connect(action, &QAction::triggered, this, [this, command] { emit triggered(command); });
}

void CommandBar::enable(Command command, bool enabled)
{
    m_actions[static_cast<int>(command)]->setEnabled(enabled);
}

bool CommandBar::isEnabled(Command command) const
{
    return m_actions[static_cast<int>(command)]->isEnabled();
}

bool CommandBar::isChecked(Command command) const
{
    return m_actions[static_cast<int>(command)]->isChecked();
}

} // namespace kora
