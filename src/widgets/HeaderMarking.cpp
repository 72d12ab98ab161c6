#include "widgets/HeaderMarking.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QPalette>

namespace kora {

QVariant headerMarking(int role, bool marked)
{
    if (role == Qt::BackgroundRole)
        return QApplication::palette().brush(marked ? QPalette::Base : QPalette::Button);
    if (role == Qt::FontRole && marked) {
        QFont font = QApplication::font();
        font.setBold(true);
        return font;
    }
    return {};
}

} // namespace kora
