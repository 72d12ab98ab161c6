#include "widgets/TypingToSearchBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace kora {

TypingToSearchBox::TypingToSearchBox(QLineEdit* searchBox)
    : QObject(searchBox), m_searchBox(searchBox)
{
}

void TypingToSearchBox::watch(QObject* widget)
{
    widget->installEventFilter(this);
}

bool TypingToSearchBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.isEmpty() || !text.front().isPrint() || text.front().isSpace() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    m_searchBox->setFocus(Qt::ShortcutFocusReason);
    m_searchBox->end(false);
    QApplication::sendEvent(m_searchBox, event);
    return true;
}

} // namespace kora
