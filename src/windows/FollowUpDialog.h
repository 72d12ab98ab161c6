#pragma once

#include "results/FollowUps.h"

#include <QDialog>

#include <optional>
#include <string>

namespace kora {

class FollowUpBox;

// The result list's window on one company's follow-up: set or move it, or
// mark it done (and then set the next one). OK stores what it shows.
class FollowUpDialog : public QDialog
{
    Q_OBJECT

public:
    FollowUpDialog(const std::optional<FollowUp>& followUp, const std::string& expire,
                   const QString& name, QWidget* parent);

    std::optional<FollowUp> followUp() const;
    // Whether Done was pressed: the follow-up the window opened with is done.
    bool wasDone() const { return m_done; }

private:
    FollowUpBox* m_box;
    bool m_done = false;
};

} // namespace kora
