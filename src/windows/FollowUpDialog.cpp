#include "windows/FollowUpDialog.h"

#include "widgets/CenterForm.h"
#include "windows/FollowUpBox.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace kora {

FollowUpDialog::FollowUpDialog(const std::optional<FollowUp>& followUp, const std::string& expire,
                               const QString& name, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FollowUpDialog"));
    setWindowTitle(QStringLiteral("Follow-up - ") + name);
    m_box = new FollowUpBox(this);
    m_box->showCompany(followUp, expire);
    connect(m_box, &FollowUpBox::done, this, [this] { m_done = true; });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_box);
    layout->addWidget(buttons);
    CENTERFORM(this);
}

std::optional<FollowUp> FollowUpDialog::followUp() const
{
    return m_box->followUp();
}

} // namespace kora
