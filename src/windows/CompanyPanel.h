#pragma once

#include "results/CompanySummary.h"
#include "results/ResultListData.h"

#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

namespace kora {

class CompanyRow;

// The result list's view of the selected company: its summary, contacts and
// flags in the Company box, its mods below.
class CompanyPanel : public QWidget
{
    Q_OBJECT

public:
    CompanyPanel(const std::string& state, QWidget* parent);

    void show(const CompanyRow& row, CompanySummary::Tab tab, bool hasNotes,
              const std::vector<ResultListData::Mod>& mods);
    void clear();
    // Says in the summary box, in red, that a lookup is running.
    void showLookupRunning();

private:
    QWidget* buildCompany();
    QWidget* buildMods();

    std::string m_state;
    QPlainTextEdit* m_address; // ADDRESS
    QLineEdit* m_phone;        // PHONE
    QLineEdit* m_fax;          // txtFax
    QLineEdit* m_contact;      // CONTACT
    QLineEdit* m_title;        // TITLE
    QLabel* m_associated;
    QLabel* m_seeNotes;
    QLabel* m_interstate;
    QLabel* m_revised;
    QLabel* m_assignedRisk;
    QLabel* m_modTrend;
    QTableView* m_modsGrid;     // TDBGrid2
    QStandardItemModel* m_mods; // MFILE
};

} // namespace kora
