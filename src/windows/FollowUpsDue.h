#pragma once

#include <QDialog>

class QTableWidget;

namespace kora {

class RecordWindowHost;

// The "Follow-ups due" window: the state's overdue and today's follow-ups,
// oldest first. Enter (or a double click) opens the company's record; the
// list is read again when the record closes.
class FollowUpsDue : public QDialog
{
    Q_OBJECT

public:
    FollowUpsDue(RecordWindowHost& list, QWidget* parent);

private:
    void fill();
    void openRecord(int row);

    RecordWindowHost& m_list;
    QTableWidget* m_grid;
};

} // namespace kora
