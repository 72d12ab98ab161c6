#include "widgets/DatedNotesEdit.h"

#include "widgets/LocalFormats.h"

#include <QFocusEvent>
#include <QTextCursor>

#include <utility>

namespace kora {

DatedNotesEdit::DatedNotesEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

void DatedNotesEdit::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    // Another window taking the focus for a while (a message, a menu, another
    // program) gives it back without the user entering the box anew.
    const Qt::FocusReason reason = event->reason();
    if (!m_dating || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    addDatedLine();
    m_enteredByClick = reason == Qt::MouseFocusReason;
}

void DatedNotesEdit::focusOutEvent(QFocusEvent* event)
{
    m_enteredByClick = false;
    QPlainTextEdit::focusOutEvent(event);
}

void DatedNotesEdit::mousePressEvent(QMouseEvent* event)
{
    // The click that brings the focus in would move the cursor off the dated
    // line just put in front; the line is where the user types.
    if (std::exchange(m_enteredByClick, false))
        return;
    QPlainTextEdit::mousePressEvent(event);
}

void DatedNotesEdit::addDatedLine()
{
    const QString first = LocalFormats::today() + QStringLiteral(" - ");
    QTextCursor cursor(document());
    cursor.insertText(first + QLatin1Char('\n'));
    cursor.setPosition(static_cast<int>(first.size()));
    setTextCursor(cursor);
}

} // namespace kora
