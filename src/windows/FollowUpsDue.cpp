#include "windows/FollowUpsDue.h"

#include "base/Blanks.h"
#include "base/Dates.h"
#include "results/FollowUps.h"
#include "widgets/CenterForm.h"
#include "windows/KRLISTI.h"
#include "windows/RecordWindowHost.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kora {

namespace {

enum Column
{
    DueColumn,
    FileColumn,
    SequenceColumn,
    NameColumn,
    TextColumn,
};

} // namespace

FollowUpsDue::FollowUpsDue(RecordWindowHost& list, QWidget* parent) : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("FollowUpsDue"));
    setWindowTitle(QStringLiteral("Follow-ups due"));
    m_grid = new QTableWidget(0, 5, this);
    m_grid->setObjectName(QStringLiteral("grdFollowUps"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Due"), QStringLiteral("File"),
                                       QStringLiteral("Seq."), QStringLiteral("Name"),
                                       QStringLiteral("Follow-up")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_grid, &QTableWidget::activated, this,
            [this](const QModelIndex& index) { openRecord(index.row()); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    resize(720, 400);
    fill();
    CENTERFORM(this);
}

void FollowUpsDue::fill()
{
    const std::vector<FollowUps::Due> due = FollowUps(m_list.database()).dueBy(Dates::today());
    m_grid->setRowCount(static_cast<int>(due.size()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const FollowUps::Due& one = due[static_cast<size_t>(row)];
        for (const auto& [column, text] : {std::pair{DueColumn, Dates::toMonthDayYear(one.due)},
                                           {FileColumn, one.file},
                                           {SequenceColumn, one.sequence},
                                           {NameColumn, withoutTrailingBlanks(one.name)},
                                           {TextColumn, one.text}})
            m_grid->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
    }
    m_grid->resizeColumnsToContents();
    if (m_grid->rowCount() > 0) {
        m_grid->setCurrentCell(0, 0);
        m_grid->setFocus();
    }
}

void FollowUpsDue::openRecord(int row)
{
    const auto text = [this, row](int column) { return m_grid->item(row, column)->text(); };
    {
        KRLISTI record(m_list, text(FileColumn), text(SequenceColumn), text(NameColumn));
        record.exec();
    }
    m_list.refreshCompany();
    fill();
    m_grid->setCurrentCell(std::min(row, m_grid->rowCount() - 1), 0);
}

} // namespace kora
