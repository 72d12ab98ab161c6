#pragma once

#include "lookup/CodedValues.h"

#include <QObject>

#include <vector>

class QAbstractItemView;
class QAction;
class QCompleter;
class QLineEdit;
class QStandardItemModel;

namespace kora {

// The drop-down of a coded field's values on one of the lookup editor's range
// boxes: the arrow at the box's end lists every value, typing lists those
// beginning with the text whatever its case, and a value picked puts its code
// in the box. Alt+Down and F4 open it from the keyboard, as on a combo box.
class CodeDropDown : public QObject
{
    Q_OBJECT

public:
    // The arrow is named after the box ("FROM" gives "FROMLIST").
    explicit CodeDropDown(QLineEdit* box);

    // The values to offer; none takes the drop-down away.
    void setValues(const std::vector<CodedValues::Code>& values);
    // Lists every value below the box.
    void open();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_box;
    QStandardItemModel* m_values;
    QCompleter* m_completer;
    QAction* m_arrow;
};

} // namespace kora
