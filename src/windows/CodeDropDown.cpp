#include "windows/CodeDropDown.h"

#include <QAction>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOption>

namespace kora {

namespace {

// The box takes the code, the list shows the label.
constexpr int kCodeRole = Qt::UserRole;

// The arrow a combo box of the style draws.
QIcon arrowIcon(const QWidget* box)
{
    const int size = box->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, box);
    const qreal ratio = box->devicePixelRatioF();
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOption option;
    option.initFrom(box);
    option.rect = QRect(0, 0, size, size);
    box->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, box);
    return QIcon(pixmap);
}

} // namespace

CodeDropDown::CodeDropDown(QLineEdit* box)
    : QObject(box), m_box(box), m_values(new QStandardItemModel(this)),
      m_completer(new QCompleter(m_values, this)),
      m_arrow(box->addAction(arrowIcon(box), QLineEdit::TrailingPosition))
{
    m_arrow->setObjectName(box->objectName() + QStringLiteral("LIST"));
    m_arrow->setToolTip(QStringLiteral("List the values"));
    m_arrow->setVisible(false);
    m_completer->setCompletionRole(kCodeRole);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(m_completer);
    connect(m_arrow, &QAction::triggered, this, &CodeDropDown::open);
    box->installEventFilter(this);
}

void CodeDropDown::setValues(const std::vector<CodedValues::Code>& values)
{
    m_values->clear();
    for (const CodedValues::Code& value : values) {
        auto* item = new QStandardItem(QString::fromStdString(value.label));
        item->setData(QString::fromStdString(value.code), kCodeRole);
        m_values->appendRow(item);
    }
    m_arrow->setVisible(!values.empty());
}

void CodeDropDown::open()
{
    m_box->setFocus();
    m_completer->setCompletionPrefix(QString());
    m_completer->complete();
}

bool CodeDropDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress && m_arrow->isVisible()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 ||
            (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier)) {
            open();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kora
