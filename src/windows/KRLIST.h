#pragma once

#include "database/Database.h"
#include "lookup/LookupSearch.h"
#include "lookup/LookupTabs.h"
#include "results/CompanyNotes.h"
#include "results/CompanySummary.h"
#include "results/OrderedCompanies.h"
#include "results/ResultListData.h"
#include "widgets/DialogPrompt.h"
#include "windows/KRPRINT.h"
#include "windows/RecordWindowHost.h"

#include <QWidget>

#include <initializer_list>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QStackedWidget;
class QTableView;

namespace kora {

class CompanyButtons;
class CompanyGridModel;
class CompanyPanel;
class RememberedColumns;
class TabStrip;
class WindowHost;

// The result list: the main window's working child, one per workspace and
// state. Tab 0 lists every company; tabs 1 to 9 the saved lookups. Beside the
// grid stand the selected company's summary, contacts, flags and mods.
class KRLIST : public QWidget, public RecordWindowHost
{
    Q_OBJECT

public:
    KRLIST(WindowHost& host, const QString& workspace, const QString& state,
           const QString& workspaceFolder);
    ~KRLIST() override;

    const QString& workspace() const { return m_workspace; }
    const QString& state() const override { return m_state; }
    const QString& workspaceFolder() const { return m_workspaceFolder; }
    // The list's own handle on the state database; record windows read and
    // write the company row through it, so the list sees every change at once.
    Database& database() override { return m_db; }
    QWidget* listWidget() override { return this; }

    // Sorts the all-companies grid by a column: 0 file, 2 name, 3 county.
    void SORT_SELECT(int COLNUM);
    // Rebuilds the lookup tabs from the workspace folder and shows the
    // selected tab again (tab 0 when its lookup is gone).
    void SETTABS();
    // After the lookup editor saved a lookup file: a new lookup brings the
    // list back on the all-companies tab, an edited one is shown again on its
    // tab, run with its new criteria.
    void showSavedLookup(const QString& fileName, bool newLookup);
    // After a lookup file was deleted: the tabs again, on the all-companies tab.
    void showLookupRemoved();
    // The current lookup file: cleared for a new lookup, else the selected tab's file.
    void SetCurSQLFile(bool NEWSEARCH);
    // Runs the lookup of the selected tab and shows its companies by name.
    void SetUpSQL();
    // Sorts the lookup grid by a column: 0 file, 2 name, 3 expiration month and day.
    void SORTSRCH(int COLNUM);
    LookupTabs& lookupTabs() { return m_lookupTabs; }
    int selectedTab() const;
    void selectTab(int tab);
    // Sets which of the main window's lookup commands are available.
    void SETBUTTONS(QWidget* fm);
    // The lookup on screen as the print window takes it.
    KRPRINT::Lookup lookupToPrint();

    int GetNoteLength(const QString& file, const QString& sequence);
    // Loads the company's note into NOTE and keeps it locked; NOTE holds
    // "***LOCKED***" when another user has it.
    void GETNOTES(const QString& file, const QString& sequence, QPlainTextEdit* NOTE) override;
    // Stores NOTE as the note of the company GETNOTES locked, and releases it.
    void SETNOTES(QPlainTextEdit* NOTE) override;
    // Releases a note lock without storing.
    void releaseNotes() override;
    void storeFollowUp(const std::optional<FollowUp>& followUp) override;
    // Sets, moves or finishes the selected company's follow-up in a window of its own.
    void editFollowUp();

    // Shows the selected company again after a record window stored a change.
    void refreshCompany() override;
    // Shows all companies in file order positioned on the first company at or after the key.
    void positionOn(const QString& file, const QString& sequence) override;
    // Opens the breakdown of the selected tab's companies.
    void showBreakdown();
    // What the export writes: the lookup tab's statement with its ORDER BY
    // (empty on the all-companies tab), and the lookup's title.
    std::string exportSource() const;
    QString exportTitle() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Names the column the search box searches, in the box while it is empty.
    void showSearchedColumn();
    void buildWindow();
    // A grid of the list, its columns sized and then as the agent left them in this workspace.
    QTableView* makeGrid(const char* name, CompanyGridModel* model,
                         std::initializer_list<int> widths);
    void tabSelected(int tab);
    void searchFor(const QString& text);
    // Enter in the search box: with "contains" on, the next company holding the text.
    void findNext();
    // Selects the first company at or after the text, or with "contains" on the
    // first from the position on that holds it.
    void findFrom(const QString& text, long long from);
    void selectRow(QTableView* grid, long long row);
    // Selects the company of the key again on the lookup tab, shown by name.
    void reselect(const std::string& name, const std::string& key);
    void currentRowChanged();
    void toggleMark();
    // More Info... opens the selected company in the record window.
    void openRecord();
    const CompanyRow* selectedCompany();
    bool onLookupTab() const;
    QTableView* currentGrid() const;
    OrderedCompanies& currentCompanies();
    CompanyGridModel* currentModel() const;
    // The count of the grid shown, or "Counting…" while its rows are read.
    void showCount();
    void render(const CompanyRow& row, CompanySummary::Tab tab);
    void clearCompany();
    void readDataVersion();

    WindowHost& m_host;
    QString m_workspace;
    QString m_state;
    QString m_workspaceFolder;
    Database m_db;
    DialogPrompt m_prompt;
    std::unique_ptr<CompanyNotes> m_notes;
    OrderedCompanies m_allCompanies; // GFILE
    ResultListData::Order m_order = ResultListData::Order::Name;
    int m_previousTab = 0;
    LookupTabs m_lookupTabs;
    LookupSearch m_search;
    OrderedCompanies m_lookupCompanies; // SFILE
    std::string m_searchField;          // what the search-for box compares on a lookup tab
    ResultListData m_data;

    TabStrip* m_tabs; // SSTab1
    QStackedWidget* m_grids;
    CompanyGridModel* m_allModel;
    QTableView* m_allGrid; // TDBGrid1
    CompanyGridModel* m_lookupModel;
    QTableView* m_lookupGrid; // TDBGrid4
    CompanyPanel* m_company;
    QLineEdit* m_count;     // VIEWCOUNT
    QLineEdit* m_searchFor; // SFOR
    QLabel* m_notFound;     // lblNotFound: the search text is past every row
    QCheckBox* m_contains;  // the search box finds the text anywhere, not only at the start
    CompanyButtons* m_buttons;
    std::vector<RememberedColumns*> m_rememberedColumns; // owned by their grids
};

} // namespace kora
