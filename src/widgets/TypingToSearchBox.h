#pragma once

#include <QObject>

class QLineEdit;

namespace kora {

// Sends text typed into the widgets it watches to a search box, which
// positions the grid; keys that move or command are left to the widget.
class TypingToSearchBox : public QObject
{
    Q_OBJECT

public:
    explicit TypingToSearchBox(QLineEdit* searchBox);

    void watch(QObject* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_searchBox;
};

} // namespace kora
