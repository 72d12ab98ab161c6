#include "widgets/DatedNotesEdit.h"

#include "widgets/LocalFormats.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <utility>

namespace kora {

namespace {

// Another window taking the focus for a while (a message, a menu, another
// program) gives it back without the user entering or leaving the box.
bool isPassing(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

DatedNotesEdit::DatedNotesEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

void DatedNotesEdit::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    if (!m_dating || isPassing(event->reason()))
        return;
    moveCursor(QTextCursor::Start);
    m_dateDue = true;
    m_datedLine.clear();
    m_enteredByClick = event->reason() == Qt::MouseFocusReason;
}

void DatedNotesEdit::focusOutEvent(QFocusEvent* event)
{
    m_enteredByClick = false;
    if (!isPassing(event->reason())) {
        m_dateDue = false;
        dropEmptyDatedLine();
    }
    QPlainTextEdit::focusOutEvent(event);
}

void DatedNotesEdit::mousePressEvent(QMouseEvent* event)
{
    // The click that brings the focus in would move the cursor off the front,
    // where the user types.
    if (std::exchange(m_enteredByClick, false))
        return;
    QPlainTextEdit::mousePressEvent(event);
}

void DatedNotesEdit::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty() && event->text().front().isPrint())
        dateBeforeTyping();
    QPlainTextEdit::keyPressEvent(event);
}

void DatedNotesEdit::insertFromMimeData(const QMimeData* source)
{
    dateBeforeTyping();
    QPlainTextEdit::insertFromMimeData(source);
}

void DatedNotesEdit::dateBeforeTyping()
{
    // Typing after the user moved the cursor elsewhere changes an older entry.
    const QTextCursor at = textCursor();
    if (!std::exchange(m_dateDue, false) || at.position() != 0 || at.hasSelection())
        return;
    m_datedLine = LocalFormats::today() + QStringLiteral(" - ");
    QTextCursor cursor(document());
    cursor.insertText(m_datedLine + QLatin1Char('\n'));
    cursor.setPosition(static_cast<int>(m_datedLine.size()));
    setTextCursor(cursor);
}

void DatedNotesEdit::dropEmptyDatedLine()
{
    const QTextBlock first = document()->firstBlock();
    if (m_datedLine.isEmpty() || first.text() != m_datedLine || first.next() == document()->end())
        return;
    QTextCursor cursor(first);
    cursor.setPosition(first.next().position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_datedLine.clear();
}

} // namespace kora
