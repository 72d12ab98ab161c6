#include "windows/FollowUpBox.h"

#include "base/Dates.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kora {

namespace {

// The date edit's least date stands for no follow-up and shows empty.
const QDate kNoDay(2000, 1, 1);

} // namespace

FollowUpBox::FollowUpBox(QWidget* parent) : QGroupBox(QStringLiteral("Follow-up"), parent)
{
    setObjectName(QStringLiteral("FollowUp"));
    m_due = new QDateEdit(this);
    m_due->setObjectName(QStringLiteral("FOLLOWDUE"));
    m_due->setCalendarPopup(true);
    m_due->setMinimumDate(kNoDay);
    m_due->setSpecialValueText(QStringLiteral(" "));
    m_due->setDate(kNoDay);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("FOLLOWTEXT"));
    m_text->setMaxLength(static_cast<int>(FollowUps::kTextLength));
    m_text->setPlaceholderText(QStringLiteral("Call about renewal"));
    auto* dueLabel = new QLabel(QStringLiteral("&Due:"), this);
    dueLabel->setBuddy(m_due);
    auto* textLabel = new QLabel(QStringLiteral("&What:"), this);
    textLabel->setBuddy(m_text);

    QPushButton* week = quickChoice(QStringLiteral("in 1 week"), "FOLLOWWEEK",
                                    [] { return Dates::addDays(Dates::today(), 7); });
    QPushButton* twoWeeks = quickChoice(QStringLiteral("in 2 weeks"), "FOLLOWTWOWEEKS",
                                        [] { return Dates::addDays(Dates::today(), 14); });
    m_beforeRenewal =
        quickChoice(QStringLiteral("30 days before renewal"), "FOLLOWRENEWAL",
                    [this] { return FollowUps::beforeRenewal(m_expire, Dates::today()); });
    m_beforeRenewal->setEnabled(false);
    auto* doneButton = new QPushButton(QStringLiteral("D&one"), this);
    doneButton->setObjectName(QStringLiteral("FOLLOWDONE"));
    doneButton->setToolTip(QStringLiteral("Adds a dated Done line to the notes and clears the "
                                          "follow-up, so that the next one can be set"));
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setObjectName(QStringLiteral("FOLLOWCLEAR"));
    for (QPushButton* button : {doneButton, clear})
        button->setAutoDefault(false);
    connect(doneButton, &QPushButton::clicked, this, [this] {
        if (const auto current = followUp())
            emit done(*current);
        setFollowUp(std::nullopt);
    });
    connect(clear, &QPushButton::clicked, this, [this] { setFollowUp(std::nullopt); });

    // Narrow enough to stand beside the notes: the day, its quick choices,
    // the text, then what ends the follow-up.
    auto* layout = new QGridLayout(this);
    layout->addWidget(dueLabel, 0, 0);
    layout->addWidget(m_due, 0, 1, 1, 3);
    layout->addWidget(week, 1, 1);
    layout->addWidget(twoWeeks, 1, 2);
    layout->addWidget(m_beforeRenewal, 1, 3);
    layout->addWidget(textLabel, 2, 0);
    layout->addWidget(m_text, 2, 1, 1, 3);
    layout->addWidget(doneButton, 3, 2);
    layout->addWidget(clear, 3, 3);
    layout->setRowStretch(4, 1);
}

QPushButton* FollowUpBox::quickChoice(const QString& caption, const char* name,
                                      std::function<std::string()> due)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, due = std::move(due)] { setDue(due()); });
    return button;
}

void FollowUpBox::showCompany(const std::optional<FollowUp>& followUp, const std::string& expire)
{
    m_expire = expire;
    m_beforeRenewal->setEnabled(!FollowUps::beforeRenewal(expire, Dates::today()).empty());
    setFollowUp(followUp);
}

void FollowUpBox::setDue(const std::string& due)
{
    const QDate date = QDate::fromString(QString::fromStdString(due), Qt::ISODate);
    m_due->setDate(date.isValid() ? date : kNoDay);
}

void FollowUpBox::setFollowUp(const std::optional<FollowUp>& followUp)
{
    setDue(followUp ? followUp->due : std::string());
    m_text->setText(followUp ? QString::fromStdString(followUp->text) : QString());
}

std::optional<FollowUp> FollowUpBox::followUp() const
{
    if (m_due->date() <= kNoDay)
        return std::nullopt;
    return FollowUp{m_due->date().toString(Qt::ISODate).toStdString(),
                    m_text->text().trimmed().toStdString()};
}

} // namespace kora
