#include "widgets/RenewalOption.h"

#include <QCheckBox>
#include <QRadioButton>

namespace kora {

QCheckBox* RenewalOption::create(QRadioButton* expirationSort, QWidget* parent)
{
    auto* renewal = new QCheckBox(QStringLiteral("Next renewal first"), parent);
    renewal->setObjectName(QStringLiteral("RENEWAL"));
    renewal->setChecked(true);
    renewal->setEnabled(expirationSort->isChecked());
    QObject::connect(expirationSort, &QRadioButton::toggled, renewal, &QCheckBox::setEnabled);
    return renewal;
}

} // namespace kora
