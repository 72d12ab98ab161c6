#pragma once

#include "shell/KRWSPACE.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QPushButton>

#include <memory>
#include <vector>

namespace kora::test {

// Drives the workspace window as a user would.
struct WorkspaceWindow
{
    using Step = void (WorkspaceWindow::*)() const;

    KRWSPACE* window;

    void ok() const { press("OK"); }
    void remove() const { press("DELETE"); }
    void exit() const { press("cmdExit"); }
    void close() const { window->reject(); }
    void typeWorkspace(const QString& name) const { combo("WORKSPACE")->setEditText(name); }
    void chooseState(const QString& state) const { combo("STATE")->setCurrentText(state); }
    QStringList workspaces() const { return items("WORKSPACE"); }
    QStringList states() const { return items("STATE"); }

    // Takes one step in each workspace window that opens from now on, the
    // steps in turn and the last one again for any further window; the
    // count of windows opened goes up by one each time.
    static std::shared_ptr<int> answerEach(WindowFixture& fixture, std::vector<Step> steps)
    {
        auto opened = std::make_shared<int>(0);
        fixture.onModal<KRWSPACE>([opened, steps](KRWSPACE* window) {
            const size_t turn = static_cast<size_t>((*opened)++);
            const Step step = steps[std::min(turn, steps.size() - 1)];
            (WorkspaceWindow{window}.*step)();
        });
        return opened;
    }

private:
    QComboBox* combo(const char* name) const { return window->findChild<QComboBox*>(name); }
    void press(const char* name) const { window->findChild<QPushButton*>(name)->click(); }
    QStringList items(const char* name) const
    {
        QStringList texts;
        for (int i = 0; i < combo(name)->count(); ++i)
            texts << combo(name)->itemText(i);
        return texts;
    }
};

} // namespace kora::test
