#pragma once

#include "results/FollowUps.h"

#include <QGroupBox>

#include <functional>
#include <optional>
#include <string>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace kora {

// A company's follow-up as the agent edits it: the day (a calendar, or a
// quick choice) and what to do. Done reports the follow-up as done and
// empties the box, so that a next one may be set; Clear empties it.
class FollowUpBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit FollowUpBox(QWidget* parent);

    // The company's follow-up, and its latest expiration (YYYY-MM-DD, empty
    // without one) for the quick choice before the renewal.
    void showCompany(const std::optional<FollowUp>& followUp, const std::string& expire);
    void setFollowUp(const std::optional<FollowUp>& followUp);
    // Nothing while no day is set.
    std::optional<FollowUp> followUp() const;

signals:
    // The follow-up that was done, before the box is emptied.
    void done(const FollowUp& followUp);

private:
    QPushButton* quickChoice(const QString& caption, const char* name,
                             std::function<std::string()> due);
    void setDue(const std::string& due);

    QDateEdit* m_due;
    QLineEdit* m_text;
    QPushButton* m_beforeRenewal;
    std::string m_expire;
};

} // namespace kora
