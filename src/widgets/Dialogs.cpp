#include "widgets/Dialogs.h"

#include "base/LookupMessage.h"

#include <QApplication>

namespace kora {

Dialogs::Script& Dialogs::script()
{
    static Script current;
    return current;
}

void Dialogs::setScript(Script script)
{
    Dialogs::script() = std::move(script);
}

QMessageBox::StandardButton Dialogs::ask(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::Icon icon,
                                         QMessageBox::StandardButton defaultButton)
{
    if (script())
        return script()(Request{title, text, buttons, defaultButton, icon});
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // Messages come during long work too; the pointer must not stay an hourglass.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (busy)
        QApplication::restoreOverrideCursor();
    return answer;
}

void Dialogs::tell(QWidget* parent, const QString& title, const QString& text,
                   QMessageBox::Icon icon)
{
    ask(parent, title, text, QMessageBox::Ok, icon, QMessageBox::Ok);
}

void Dialogs::tell(QWidget* parent, const LookupMessage& message)
{
    tell(parent, message.title.empty() ? defaultTitle() : QString::fromStdString(message.title),
         QString::fromStdString(message.text),
         message.icon == LookupMessage::Icon::Exclamation ? QMessageBox::Warning
                                                          : QMessageBox::NoIcon);
}

} // namespace kora
