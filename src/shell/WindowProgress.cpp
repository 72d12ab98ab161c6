#include "shell/WindowProgress.h"

#include "shell/TITLE.h"
#include "widgets/Dialogs.h"
#include "widgets/NormalCursor.h"

#include <QApplication>

namespace kora {

void WindowProgress::status(const std::string& text)
{
    if (m_splash)
        m_splash->status(text);
    else
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool WindowProgress::agrees(const std::string& question)
{
    // The splash stays in front of every window: out of the way of the question.
    if (m_splash)
        m_splash->hide();
    restoreNormalCursor();
    const bool yes =
        Dialogs::ask(m_parent, Dialogs::defaultTitle(), QString::fromStdString(question),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                     QMessageBox::No) == QMessageBox::Yes;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_splash)
        m_splash->show();
    return yes;
}

} // namespace kora
