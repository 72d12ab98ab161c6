#pragma once

#include "database/Installation.h"
#include "support/TempFolder.h"
#include "widgets/Dialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QList>
#include <QSettings>
#include <QTimer>

#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kora::test {

// A window's control by its object name; a missing one ends the test run.
template <typename T> T* named(const QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s", qPrintable(window->objectName()), name);
    return found;
}

// The rows of a grid, the given columns of each joined by '|'.
inline QStringList gridRows(const QAbstractItemView* grid, std::initializer_list<int> columns)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column : columns)
            cells << grid->model()->index(row, column).data().toString();
        texts << cells.join('|');
    }
    return texts;
}

// A program folder laid out by the installation code, made the current
// folder, with a private temporary folder for KORA.INI, empty preferences and message boxes
// answered by script: each question takes the next queued answer (or its
// default button) and is recorded. A test's file chooser script ends with it.
class WindowFixture
{
public:
    WindowFixture()
    {
        Installation(m_program.path()).create(false);
        if (const char* old = std::getenv("TMPDIR"))
            m_oldTmpdir = old;
        setenv("TMPDIR", m_temporary.path().c_str(), 1);
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(m_program.path()));
        // The agent's preferences go to a folder of this test process, apart
        // from the user's and from other tests running at the same time, and
        // are emptied for each test.
        static const TempFolder configuration;
        setenv("XDG_CONFIG_HOME", configuration.path().c_str(), 1);
        QSettings(QSettings::IniFormat, QSettings::UserScope, "KORA", "preferences").clear();
        Dialogs::setScript([this](const Dialogs::Request& request) {
            m_messages.append(request);
            if (m_answers.empty())
                return request.defaultButton == QMessageBox::NoButton ? QMessageBox::Ok
                                                                      : request.defaultButton;
            const auto answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
    }
    ~WindowFixture()
    {
        m_timers.clear();
        Dialogs::setScript({});
        Dialogs::setFileScript({});
        QDir::setCurrent(m_oldCurrent);
        if (m_oldTmpdir)
            setenv("TMPDIR", m_oldTmpdir->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    const std::string& programFolder() const { return m_program.path(); }
    const std::string& temporaryFolder() const { return m_temporary.path(); }
    std::string settingsBytes() const { return fileBytes(m_temporary.path() + "KORA.INI"); }

    void queueAnswer(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }
    const QList<Dialogs::Request>& messages() const { return m_messages; }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto& message : m_messages)
            texts << message.text;
        return texts;
    }

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
    std::optional<std::string> m_oldTmpdir;
    QString m_oldCurrent;
    std::deque<QMessageBox::StandardButton> m_answers;
    QList<Dialogs::Request> m_messages;
    std::vector<std::unique_ptr<QTimer>> m_timers;
};

} // namespace kora::test
