#pragma once

#include "support/TempFolder.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace kora::test {

// A program folder laid out by the installation code, made the current
// folder, with a private temporary folder for KORA.INI and message boxes
// answered by script: each question takes the next queued answer (or its
// default button) and is recorded.
class WindowFixture
{
public:
    WindowFixture();
    ~WindowFixture();

    const std::string& programFolder() const { return m_program.path(); }
    const std::string& temporaryFolder() const { return m_temporary.path(); }
    std::string settingsBytes() const;

    void queueAnswer(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }
    const QList<Dialogs::Request>& messages() const { return m_messages; }
    QStringList messageTexts() const;

    // Runs the action on each modal window of type T that opens from now on,
    // once per window, while the caller's code waits in that window's exec().
    template <typename T> void onModal(std::function<void(T*)> action)
    {
        auto* timer = new QTimer;
        m_timers.emplace_back(timer);
        QObject::connect(timer, &QTimer::timeout, [action] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!window || window->property("scripted").toBool())
                return;
            window->setProperty("scripted", true);
            action(window);
        });
        timer->start(5);
    }

private:
    TempFolder m_program;
    TempFolder m_temporary;
    std::string m_oldTmpdir;
    bool m_hadTmpdir = false;
    QString m_oldCurrent;
    std::deque<QMessageBox::StandardButton> m_answers;
    QList<Dialogs::Request> m_messages;
    std::vector<std::unique_ptr<QTimer>> m_timers;
};

} // namespace kora::test
