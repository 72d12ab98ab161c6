#pragma once

#include <QPlainTextEdit>

namespace kora {

// The notes box of the record window. Each time the user enters it, the
// cursor goes to the front of the notes, and what the user types there first
// comes on a new line that starts with today's date, so that every entry
// begins with the date it was added. Entering and leaving without typing
// changes nothing, and a dated line left empty is taken away on leaving.
class DatedNotesEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit DatedNotesEdit(QWidget* parent);

    // Whether entering the box dates a new line; off while the box is not
    // the user's to type in, or while a window moves the focus itself.
    void setDating(bool dating) { m_dating = dating; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Puts the dated line in front when the user starts typing at the front.
    void dateBeforeTyping();
    void dropEmptyDatedLine();

    bool m_dating = false;
    // The focus came from a mouse press that is still to arrive.
    bool m_enteredByClick = false;
    // Entered, and nothing typed yet.
    bool m_dateDue = false;
    // The dated line put in front on this entry, while it is there.
    QString m_datedLine;
};

} // namespace kora
