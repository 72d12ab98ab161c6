#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace kora {

struct LookupMessage;

// Every message box of the program goes through here, so that tests can
// answer them by script instead of a person.
class Dialogs
{
public:
    struct Request
    {
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::Icon icon;
    };
    using Script = std::function<QMessageBox::StandardButton(const Request&)>;

    // The title of messages that carry no title of their own.
    static QString defaultTitle() { return QStringLiteral("KORA"); }

    static QMessageBox::StandardButton
    ask(QWidget* parent, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static void tell(QWidget* parent, const QString& title, const QString& text,
                     QMessageBox::Icon icon = QMessageBox::Information);
    // A message of the lookup code; an empty title is the program's own.
    static void tell(QWidget* parent, const LookupMessage& message);

    // Tests install a script that answers instead of a message box; an empty
    // script shows real message boxes again.
    static void setScript(Script script);

private:
    static Script& script();
};

} // namespace kora
