#include "widgets/DialogPrompt.h"

#include "widgets/Dialogs.h"

namespace kora {

namespace {

QMessageBox::Icon boxIcon(Prompt::Icon icon)
{
    switch (icon) {
    case Prompt::Icon::Information:
        return QMessageBox::Information;
    case Prompt::Icon::Warning:
        return QMessageBox::Warning;
    case Prompt::Icon::Critical:
        return QMessageBox::Critical;
    case Prompt::Icon::Question:
        return QMessageBox::Question;
    case Prompt::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void DialogPrompt::tell(const std::string& text, const std::string& title, Icon icon)
{
    Dialogs::tell(m_parent, QString::fromStdString(title), QString::fromStdString(text),
                  boxIcon(icon));
}

bool DialogPrompt::ask(const std::string& text, const std::string& title, Icon icon)
{
    return Dialogs::ask(m_parent, QString::fromStdString(title), QString::fromStdString(text),
                        QMessageBox::Yes | QMessageBox::No, boxIcon(icon),
                        QMessageBox::No) == QMessageBox::Yes;
}

} // namespace kora
