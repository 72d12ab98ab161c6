#pragma once

#include <QPlainTextEdit>

namespace kora {

// The notes box of the record window. Each time the user enters it, a line
// dated today is put in front of the notes with the cursor after the date,
// so that every entry begins with the date it was added.
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

private:
    void addDatedLine();

    bool m_dating = false;
    // The focus came from a mouse press that is still to arrive.
    bool m_enteredByClick = false;
};

} // namespace kora
