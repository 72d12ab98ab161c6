#include "windows/KRLIST.h"

#include "base/CommandStates.h"
#include "base/StateRules.h"
#include "database/DbError.h"
#include "widgets/ColouredSelectionDelegate.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "widgets/NormalCursor.h"
#include "widgets/Preferences.h"
#include "widgets/RememberedColumns.h"
#include "widgets/RowGrid.h"
#include "widgets/ScrollingContent.h"
#include "widgets/TabStrip.h"
#include "widgets/TypingToSearchBox.h"
#include "windows/BreakdownWindow.h"
#include "windows/CompanyButtons.h"
#include "windows/CompanyGridModel.h"
#include "windows/CompanyPanel.h"
#include "windows/FollowUpDialog.h"
#include "windows/KRLISTI.h"
#include "windows/WindowHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace kora {

namespace {

constexpr int kOmitColumn = 4;
// Columns beyond the Omit mark are the ones an agent may choose to show.
constexpr int kFirstOptionalColumn = kOmitColumn + 1;
constexpr const char* kContainsPreference = "search/contains";
// Rows read before a grid is shown: a few screens, so paging down does not wait.
constexpr size_t kFirstRows = 200;

// The optional columns of a grid, leaving out a field the grid shows already.
std::vector<CompanyGridModel::Column>
withOptionalColumns(std::vector<CompanyGridModel::Column> columns)
{
    const std::vector<CompanyGridModel::Column> optional = {
        {QStringLiteral("Latest Mod"), "MOD", CompanyGridModel::Format::Mod},
        {QStringLiteral("Phone"), "PHONE"},
        {QStringLiteral("County"), "COUNTYNAME"},
        {QStringLiteral("City"), "CITY"},
        {QStringLiteral("Zip"), "ZIP"},
        {QStringLiteral("SIC"), "SIC"},
        {QStringLiteral("Due"), "FollowUpDue", CompanyGridModel::Format::Date}};
    for (const auto& column : optional)
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const auto& shown) { return shown.field == column.field; }))
            columns.push_back(column);
    return columns;
}

} // namespace

KRLIST::KRLIST(WindowHost& host, const QString& workspace, const QString& state,
               const QString& workspaceFolder)
    : m_host(host), m_workspace(workspace), m_state(state), m_workspaceFolder(workspaceFolder),
      m_db(host.programValues().stateDatabasePath(), host.programValues().stateConnect),
      m_prompt(this), m_notes(std::make_unique<CompanyNotes>(m_db, m_prompt)), m_allCompanies(m_db),
      m_lookupTabs(workspaceFolder.toStdString()), m_search(state.toStdString()),
      m_lookupCompanies(m_db), m_data(m_db)
{
    setObjectName(QStringLiteral("KRLIST"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();
    // The list fills the work area without a frame of its own, and so leaves
    // the main window's caption as it is.
    QMdiSubWindow* frame = host.workArea()->addSubWindow(this, Qt::FramelessWindowHint);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    readDataVersion();
}

KRLIST::~KRLIST()
{
    for (RememberedColumns* columns : m_rememberedColumns)
        columns->save();
}

QTableView* KRLIST::makeGrid(const char* name, CompanyGridModel* model,
                             std::initializer_list<int> widths)
{
    QTableView* grid = makeRowGrid(name, model, this);
    sizeRowGridColumns(grid, widths);
    // The Omit mark is carried by the grid but not shown as a column.
    grid->setColumnHidden(kOmitColumn, true);
    grid->setAlternatingRowColors(true);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setItemDelegate(new ColouredSelectionDelegate(grid));
    m_rememberedColumns.push_back(new RememberedColumns(
        grid, kFirstOptionalColumn,
        QStringLiteral("workspace/%1/%2")
            .arg(Preferences::group(m_workspace), QString::fromLatin1(name))));
    // Enter and a double click on a company open its record, as More Info... does.
    connect(grid, &QAbstractItemView::activated, this, &KRLIST::openRecord);
    return grid;
}

void KRLIST::buildWindow()
{
    m_tabs = new TabStrip(this, this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(QStringLiteral("All Companies"));

    m_allModel =
        new CompanyGridModel(m_allCompanies,
                             withOptionalColumns({{QStringLiteral("FILE"), "FILE"},
                                                  {QStringLiteral("SEQUENCE"), "SEQUENCE"},
                                                  {QStringLiteral("Company Name"), "NAME1"},
                                                  {QStringLiteral("County"), "COUNTYNAME"},
                                                  {QStringLiteral("Omit"), "Omit"}}),
                             false, this);
    m_allGrid = makeGrid("TDBGrid1", m_allModel, {80, 80, 0, 130});
    const bool newYork = StateRules::isNewYork(m_state.toStdString());
    m_lookupModel = new CompanyGridModel(
        m_lookupCompanies,
        withOptionalColumns({{QStringLiteral("File"), "FILE"},
                             // The sequence number; New York's has no heading.
                             {newYork ? QStringLiteral(" ") : QStringLiteral("Seq."), "SEQUENCE"},
                             {QStringLiteral("Name"), "NAME1"},
                             {newYork ? QStringLiteral("Anniversary") : QStringLiteral("Expires"),
                              "EXPIRE", CompanyGridModel::Format::Date},
                             {QStringLiteral("Omit"), "Omit"}}),
        true, this);
    m_lookupGrid = makeGrid("TDBGrid4", m_lookupModel, {80, 70, 0, 90});
    // A big state or lookup shows its first screens at once; the rest of its
    // rows and its count follow from a connection of their own.
    const RowReader::Open openReader = [this] { return m_db.reader(); };
    for (CompanyGridModel* model : {m_allModel, m_lookupModel}) {
        model->readRestInBackground(openReader, kFirstRows);
        connect(model, &CompanyGridModel::counted, this, [this, model] {
            if (model == currentModel())
                showCount();
        });
    }
    m_grids = new QStackedWidget(this);
    m_grids->addWidget(m_allGrid);
    m_grids->addWidget(m_lookupGrid);

    m_searchFor = new QLineEdit(this);
    m_searchFor->setObjectName(QStringLiteral("SFOR"));
    m_searchFor->setClearButtonEnabled(true);
    auto* typing = new TypingToSearchBox(m_searchFor);
    typing->watch(m_allGrid);
    typing->watch(m_lookupGrid);
    m_count = new QLineEdit(this);
    m_count->setObjectName(QStringLiteral("VIEWCOUNT"));
    m_count->setReadOnly(true);
    m_count->setMaximumWidth(110);
    m_count->setAlignment(Qt::AlignRight);
    auto* searchLabel = new QLabel(QStringLiteral("Sea&rch for:"), this);
    searchLabel->setBuddy(m_searchFor);
    auto* countLabel = new QLabel(QStringLiteral("Companies:"), this);
    m_notFound = new QLabel(QStringLiteral("not found"), this);
    m_notFound->setObjectName(QStringLiteral("lblNotFound"));
    m_notFound->hide();
    m_contains = new QCheckBox(QStringLiteral("Co&ntains"), this);
    m_contains->setObjectName(QStringLiteral("SearchContains"));
    m_contains->setToolTip(
        QStringLiteral("Finds the text anywhere in the column instead of at its start"));
    m_contains->setChecked(Preferences::value(QLatin1String(kContainsPreference), false).toBool());
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_searchFor, 1);
    searchRow->addWidget(m_contains);
    searchRow->addWidget(m_notFound);
    searchRow->addSpacing(12);
    searchRow->addWidget(countLabel);
    searchRow->addWidget(m_count);

    auto* left = new QVBoxLayout;
    left->addWidget(m_tabs);
    left->addWidget(m_grids, 1);
    left->addLayout(searchRow);

    m_company = new CompanyPanel(m_state.toStdString(), this);

    m_buttons = new CompanyButtons(m_host, m_state.toStdString(), this);

    auto* right = new QVBoxLayout;
    right->addWidget(m_company, 1);
    right->addWidget(m_buttons);

    // On a screen too small for the whole list it scrolls, every control
    // staying within reach.
    auto* content = new QWidget(this);
    auto* layout = new QHBoxLayout(content);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    QScrollArea* scroll = scrollingContent(content, "ListScroll", this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    connect(m_tabs, &QTabBar::currentChanged, this, &KRLIST::tabSelected);
    connect(m_searchFor, &QLineEdit::textEdited, this, &KRLIST::searchFor);
    connect(m_searchFor, &QLineEdit::returnPressed, this, &KRLIST::findNext);
    connect(m_contains, &QCheckBox::toggled, this, [this](bool contains) {
        Preferences::setValue(QLatin1String(kContainsPreference), contains);
        showSearchedColumn();
        if (!m_searchFor->text().isEmpty())
            searchFor(m_searchFor->text());
    });
    connect(m_searchFor, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            m_notFound->hide();
    });
    connect(m_allGrid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &KRLIST::SORT_SELECT);
    connect(m_allGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &KRLIST::currentRowChanged);
    connect(m_lookupGrid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &KRLIST::SORTSRCH);
    connect(m_lookupGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &KRLIST::currentRowChanged);
    connect(m_buttons, &CompanyButtons::markClicked, this, &KRLIST::toggleMark);
    connect(m_buttons, &CompanyButtons::moreInfoClicked, this, &KRLIST::openRecord);
    connect(m_buttons, &CompanyButtons::breakdownClicked, this, &KRLIST::showBreakdown);
    connect(m_buttons, &CompanyButtons::followUpClicked, this, &KRLIST::editFollowUp);
}

void KRLIST::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SETBUTTONS(this);
}

void KRLIST::SORT_SELECT(int COLNUM)
{
    // The sequence number and the optional columns do not sort.
    if (COLNUM == 1 || COLNUM > 3)
        return;
    HourglassGuard hourglass;
    if (COLNUM == 0)
        m_order = ResultListData::Order::File;
    else if (COLNUM == 2)
        m_order = ResultListData::Order::Name;
    else if (COLNUM == 3)
        m_order = ResultListData::Order::County;
    m_allModel->setMarkedColumn(COLNUM);
    showSearchedColumn();
    m_searchFor->clear();
    m_allModel->load(ResultListData::allCompaniesQuery(m_order));
    showCount();
    selectRow(m_allGrid, 0);
    if (m_allCompanies.count() == 0)
        clearCompany();
    m_searchFor->setFocus();
}

void KRLIST::SETBUTTONS(QWidget* fm)
{
    ResultListView view;
    view.listActive = fm == this;
    view.tab = m_tabs->currentIndex();
    view.tabCaption = m_tabs->tabText(view.tab).toStdString();
    view.tabHasLookup = !m_lookupTabs.fileOfTab(view.tab).empty();
    for (const auto& [command, enabled] : lookupCommandStates(view))
        m_host.enableCommand(command, enabled);
}

int KRLIST::selectedTab() const
{
    return m_tabs->currentIndex();
}

void KRLIST::selectTab(int tab)
{
    if (tab == m_tabs->currentIndex())
        tabSelected(tab);
    else
        m_tabs->setCurrentIndex(tab);
}

bool KRLIST::onLookupTab() const
{
    return m_tabs->currentIndex() >= 1;
}

QTableView* KRLIST::currentGrid() const
{
    return onLookupTab() ? m_lookupGrid : m_allGrid;
}

OrderedCompanies& KRLIST::currentCompanies()
{
    return onLookupTab() ? m_lookupCompanies : m_allCompanies;
}

CompanyGridModel* KRLIST::currentModel() const
{
    return onLookupTab() ? m_lookupModel : m_allModel;
}

void KRLIST::showCount()
{
    const OrderedCompanies& companies = currentCompanies();
    m_count->setText(companies.counting() ? QStringLiteral("Counting\u2026")
                                          : QString::number(companies.count()));
}

void KRLIST::tabSelected(int tab)
{
    if (tab >= 1 && m_lookupTabs.fileOfTab(tab).empty()) {
        // A tab without a lookup cannot be opened.
        m_tabs->blockSignals(true);
        m_tabs->setCurrentIndex(m_previousTab);
        m_tabs->blockSignals(false);
        return;
    }
    m_previousTab = tab;
    SETBUTTONS(this);
    if (tab == 0) {
        m_grids->setCurrentWidget(m_allGrid);
        showCount();
        // Companies may have been changed while a lookup was shown.
        m_allModel->refresh();
        currentRowChanged();
    } else {
        m_grids->setCurrentWidget(m_lookupGrid);
        // Paint the new command states before the lookup runs; input waits, so
        // no second tab change can start inside this one.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        SetUpSQL();
    }
    m_searchFor->clear();
    showSearchedColumn();
}

void KRLIST::showSearchedColumn()
{
    const CompanyGridModel* model = onLookupTab() ? m_lookupModel : m_allModel;
    // Both grids start in name order.
    const int column = model->markedColumn() < 0 ? 2 : model->markedColumn();
    const QString header = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    m_searchFor->setPlaceholderText(
        m_contains->isChecked()
            ? QStringLiteral("Searches %1 for the text anywhere (Enter finds the next)").arg(header)
            : QStringLiteral("Searches ") + header);
}

void KRLIST::SETTABS()
{
    HourglassGuard hourglass;
    const int select = m_lookupTabs.reload(m_tabs->currentIndex());
    // Tabs without a lookup cannot be opened; the strip holds none. Removing
    // the selected tab moves the selection on by itself, which must not open
    // the lookup it lands on: only the tab chosen here is opened.
    std::vector<QString> captions;
    for (int tab = 1; tab <= LookupTabs::kLookupTabs && !m_lookupTabs.fileOfTab(tab).empty(); ++tab)
        captions.push_back(QString::fromStdString(m_lookupTabs.caption(tab)));
    m_tabs->setCaptions(captions);
    const bool sameTab = select == m_tabs->currentIndex();
    const CompanyRow* row = sameTab ? selectedCompany() : nullptr;
    const std::string name = row ? row->text("NAME1") : std::string();
    const std::string key = row ? row->text("FILE") + row->text("SEQUENCE") : std::string();
    const QString search = m_searchFor->text();
    selectTab(select);
    // A window left without a change brings the list back as the user left it.
    if (sameTab && !key.empty()) {
        if (onLookupTab())
            reselect(name, key);
        m_searchFor->setText(search);
    }
}

void KRLIST::showSavedLookup(const QString& fileName, bool newLookup)
{
    if (newLookup)
        selectTab(0);
    SETTABS();
    if (newLookup)
        return;
    for (int tab = 1; tab <= LookupTabs::kLookupTabs; ++tab)
        if (m_lookupTabs.fileOfTab(tab) == fileName.toStdString())
            selectTab(tab);
}

void KRLIST::showLookupRemoved()
{
    SETTABS();
    selectTab(0);
}

void KRLIST::reselect(const std::string& name, const std::string& key)
{
    // The lookup was run again in name order: the company stands among the
    // first rows at or after its name.
    constexpr long long kSameNames = 64;
    m_lookupModel->takeRest(true);
    const long long first = m_lookupCompanies.firstAtOrAfter(name);
    for (long long at = first; at < first + kSameNames && at < m_lookupCompanies.count(); ++at) {
        const CompanyRow* row = m_lookupCompanies.row(at);
        if (row && row->text("FILE") + row->text("SEQUENCE") == key) {
            selectRow(m_lookupGrid, at);
            return;
        }
    }
}

void KRLIST::SetCurSQLFile(bool NEWSEARCH)
{
    m_lookupTabs.chooseCurrentFile(NEWSEARCH, m_tabs->currentIndex());
}

void KRLIST::SetUpSQL()
{
    if (!onLookupTab())
        return;
    const std::string path =
        m_workspaceFolder.toStdString() + m_lookupTabs.fileOfTab(m_tabs->currentIndex());
    const auto setUp = m_search.SetUpSQL(path, m_host.copySqlToClipboard());
    if (setUp.ready && m_host.copySqlToClipboard())
        QGuiApplication::clipboard()->setText(QString::fromStdString(m_search.CurSQL()));
    for (const LookupMessage& message : setUp.messages)
        Dialogs::tell(this, message);
    if (!setUp.ready) {
        selectTab(0);
        return;
    }
    m_company->showLookupRunning();

    SORTSRCH(2);
    showCount();
    if (m_lookupCompanies.count() == 0)
        clearCompany();
    restoreNormalCursor();
}

void KRLIST::SORTSRCH(int COLNUM)
{
    if (COLNUM >= kFirstOptionalColumn)
        return;
    m_searchFor->clear();
    if (COLNUM == 1)
        return;
    static const char* const searchFields[] = {"FILE", "", "NAME1", "EXPIRE", "Omit"};
    if (COLNUM >= 0 && COLNUM <= kOmitColumn) {
        m_lookupModel->setMarkedColumn(COLNUM);
        m_searchField = searchFields[COLNUM];
        showSearchedColumn();
    }
    if (!m_search.sortBy(static_cast<GridColumn>(COLNUM)))
        return;
    HourglassGuard hourglass;
    // The grid holds the row ids and the searched text of the lookup's
    // companies in its order; the rows are read as they are shown.
    const ResultListData::GridRows rows =
        ResultListData::lookupGridRows(m_search.source(), m_searchField);
    m_lookupModel->load(rows.all, rows.first);
    selectRow(m_lookupGrid, 0);
}

void KRLIST::searchFor(const QString& text)
{
    findFrom(text, 0);
}

void KRLIST::findNext()
{
    const QModelIndex current = currentGrid()->currentIndex();
    if (m_contains->isChecked() && !m_searchFor->text().isEmpty())
        findFrom(m_searchFor->text(), current.isValid() ? current.row() + 1 : 0);
}

void KRLIST::findFrom(const QString& text, long long from)
{
    HourglassGuard hourglass;
    // A search looks through every row, so it waits for the rest of them.
    currentModel()->takeRest(true);
    const long long found = m_contains->isChecked()
                                ? currentCompanies().firstContaining(text.toStdString(), from)
                                : currentCompanies().firstAtOrAfter(text.toStdString());
    // Nothing at or after the text (letters typed on a column of numbers, or
    // beyond the last name), or nothing holding it: the row stays, and the box says so.
    const bool missing = !text.isEmpty() && found >= currentCompanies().count();
    m_notFound->setVisible(missing);
    if (!missing)
        selectRow(currentGrid(), found);
    m_searchFor->setFocus();
}

const CompanyRow* KRLIST::selectedCompany()
{
    const QModelIndex current = currentGrid()->currentIndex();
    return current.isValid() ? currentCompanies().row(current.row()) : nullptr;
}

KRPRINT::Lookup KRLIST::lookupToPrint()
{
    m_lookupModel->takeRest(true);
    return {m_search.recordSource(), m_tabs->tabText(m_tabs->currentIndex()),
            m_lookupCompanies.count()};
}

void KRLIST::openRecord()
{
    const CompanyRow* row = selectedCompany();
    if (!row)
        return;
    KRLISTI record(*this, QString::fromStdString(row->text("FILE")),
                   QString::fromStdString(row->text("SEQUENCE")),
                   QString::fromStdString(row->text("NAME1")));
    record.exec();
    // The note and the user fields may have changed: the flags and contacts follow.
    refreshCompany();
}

std::string KRLIST::exportSource() const
{
    return onLookupTab() ? m_search.recordSource() : std::string();
}

QString KRLIST::exportTitle() const
{
    return m_tabs->tabText(m_tabs->currentIndex());
}

void KRLIST::toggleMark()
{
    const QModelIndex current = m_lookupGrid->currentIndex();
    const CompanyRow* row = onLookupTab() ? selectedCompany() : nullptr;
    if (!row)
        return;
    const bool excluded = row->text("Omit") == "Y";
    m_data.setOmit(row->field("FILE"), row->field("SEQUENCE"), !excluded);
    m_buttons->setMarkCaption(excluded ? QStringLiteral("Exclude") : QStringLiteral("Include"));
    m_lookupModel->rowChanged(current.row());
}

void KRLIST::selectRow(QTableView* grid, long long row)
{
    const int rows = grid->model()->rowCount();
    if (rows == 0)
        return;
    const int target = static_cast<int>(std::min<long long>(row, rows - 1));
    const QModelIndex index = grid->model()->index(target, 2);
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    grid->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void KRLIST::currentRowChanged()
{
    if (const CompanyRow* row = selectedCompany())
        render(*row,
               onLookupTab() ? CompanySummary::Tab::Lookup : CompanySummary::Tab::AllCompanies);
    else
        clearCompany();
}

void KRLIST::render(const CompanyRow& row, CompanySummary::Tab tab)
{
    m_company->show(row, tab,
                    GetNoteLength(QString::fromStdString(row.text("FILE")),
                                  QString::fromStdString(row.text("SEQUENCE"))) > 0,
                    m_data.mods(row.field("FILE"), row.field("SEQUENCE")));
    // The caption follows the company on every tab, so the all-companies tab,
    // where the button cannot be used, never shows the caption of another company.
    m_buttons->showCompany(row, tab == CompanySummary::Tab::Lookup);
    m_buttons->setMarkCaption(QString::fromStdString(CompanySummary::markCaption(row)));
}

void KRLIST::clearCompany()
{
    m_company->clear();
    m_buttons->clear();
}

void KRLIST::showBreakdown()
{
    const int tab = m_tabs->currentIndex();
    if (tab >= 1 && m_search.CurSQL().empty()) {
        Dialogs::tell(this, QStringLiteral("Breakdown"),
                      QStringLiteral("This tab shows no lookup to break down."),
                      QMessageBox::Information);
        return;
    }
    BreakdownWindow window(m_db, tab >= 1 ? m_search.source() : LookupStatement{},
                           m_tabs->tabText(tab), this);
    window.exec();
}

int KRLIST::GetNoteLength(const QString& file, const QString& sequence)
{
    return m_notes->noteLength(file.toStdString(), sequence.toStdString());
}

void KRLIST::GETNOTES(const QString& file, const QString& sequence, QPlainTextEdit* NOTE)
{
    NOTE->setPlainText(
        QString::fromStdString(m_notes->lockedNote(file.toStdString(), sequence.toStdString())));
}

void KRLIST::SETNOTES(QPlainTextEdit* NOTE)
{
    m_notes->storeNote(NOTE->toPlainText().toStdString());
}

void KRLIST::releaseNotes()
{
    m_notes->release();
}

void KRLIST::storeFollowUp(const std::optional<FollowUp>& followUp)
{
    m_notes->storeFollowUp(followUp);
}

void KRLIST::editFollowUp()
{
    const CompanyRow* row = selectedCompany();
    if (!row)
        return;
    const std::string file = row->text("FILE");
    const std::string sequence = row->text("SEQUENCE");
    FollowUpDialog dialog(FollowUps(m_db).of(file, sequence), row->text("EXPIRE"),
                          QString::fromStdString(row->text("NAME1")).trimmed(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        m_notes->changeFollowUp(file, sequence, dialog.followUp(), dialog.wasDone());
    } catch (const DbError& error) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("The follow-up could not be stored: ") + error.what(),
                      QMessageBox::Warning);
    }
    refreshCompany();
}

void KRLIST::refreshCompany()
{
    const QModelIndex current = currentGrid()->currentIndex();
    if (current.isValid())
        (onLookupTab() ? m_lookupModel : m_allModel)->rowChanged(current.row());
    currentRowChanged();
}

void KRLIST::positionOn(const QString& file, const QString& sequence)
{
    m_tabs->setCurrentIndex(0);
    SORT_SELECT(0);
    m_allModel->takeRest(true);
    selectRow(m_allGrid, m_allCompanies.firstAtOrAfter((file + sequence).toStdString()));
}

void KRLIST::readDataVersion()
{
    m_host.setDataVersion(QString::fromStdString(m_data.dataVersion()));
}

} // namespace kora
