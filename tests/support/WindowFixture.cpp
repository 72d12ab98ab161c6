#include "support/WindowFixture.h"

#include "database/Installation.h"

#include <QDir>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kora::test {

WindowFixture::WindowFixture()
{
    Installation(m_program.path()).create(false);
    if (const char* old = std::getenv("TMPDIR")) {
        m_hadTmpdir = true;
        m_oldTmpdir = old;
    }
    setenv("TMPDIR", m_temporary.path().c_str(), 1);
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(m_program.path()));
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

WindowFixture::~WindowFixture()
{
    m_timers.clear();
    Dialogs::setScript({});
    QDir::setCurrent(m_oldCurrent);
    if (m_hadTmpdir)
        setenv("TMPDIR", m_oldTmpdir.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

std::string WindowFixture::settingsBytes() const
{
    std::ifstream in(m_temporary.path() + "KORA.INI", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

QStringList WindowFixture::messageTexts() const
{
    QStringList texts;
    for (const auto& message : m_messages)
        texts << message.text;
    return texts;
}

} // namespace kora::test
