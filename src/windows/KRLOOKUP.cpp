#include "windows/KRLOOKUP.h"

#include "database/DbError.h"
#include "lookup/CriterionEntry.h"
#include "lookup/FieldCatalogue.h"
#include "lookup/LookupReader.h"
#include "lookup/LookupTabs.h"
#include "widgets/BuddyLabel.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "widgets/RowGrid.h"
#include "windows/CodeDropDown.h"
#include "windows/LiveCountLabel.h"
#include "windows/PickListPanel.h"

#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace kora {

namespace {

using Field = FieldCatalogue::Position;

const QString kTitle = QStringLiteral("Enter Selection Parameters");

QPushButton* makeButton(const char* caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

KRLOOKUP::KRLOOKUP(LookupTabs& tabs, Database& db, std::string state, QWidget* parent)
    : QDialog(parent), m_tabs(tabs), m_db(db), m_state(std::move(state))
{
    setObjectName(QStringLiteral("KRLOOKUP"));
    buildWindow();
    resize(820, 680);
    CENTERFORM(this);
}

KRLOOKUP::~KRLOOKUP() = default;

void KRLOOKUP::buildWindow()
{
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("SEARCHDESC"));

    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("List1"));
    for (int position = 0; position < FieldCatalogue::kCount; ++position)
        m_fields->addItem(QString::fromStdString(FieldCatalogue::caption(position, m_state)));
    m_fields->setFixedWidth(m_fields->sizeHintForColumn(0) + 40);

    m_from = new QLineEdit(this);
    m_from->setObjectName(QStringLiteral("FROM"));
    m_thru = new QLineEdit(this);
    m_thru->setObjectName(QStringLiteral("THRU"));
    m_fromCodes = new CodeDropDown(m_from);
    m_thruCodes = new CodeDropDown(m_thru);
    m_thruLabel = buddyLabel(QStringLiteral("Thru"), m_thru, this);
    m_include = new QRadioButton(QStringLiteral("Include"), this);
    m_include->setObjectName(QStringLiteral("SQLINCLUDE"));
    m_include->setChecked(true);
    m_exclude = new QRadioButton(QStringLiteral("Exclude"), this);
    m_exclude->setObjectName(QStringLiteral("SQLEXCLUDE"));
    m_add = makeButton("Accept", "ADD", this);
    m_hint = new QLabel(QStringLiteral("Choose a field from the list on the left."), this);
    m_hint->setObjectName(QStringLiteral("lblHint"));
    m_hint->setWordWrap(true);

    m_pickList = new PickListPanel(m_db, this);

    m_criteriaModel = new QStandardItemModel(0, 3, this);
    m_criteriaModel->setHorizontalHeaderLabels(
        {QStringLiteral("Field"), QStringLiteral("Selection"), QStringLiteral("Include/Exclude")});
    m_criteriaGrid = makeRowGrid("TDBGrid3", m_criteriaModel, this);
    m_criteriaGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_criteriaGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_criteriaGrid->setColumnWidth(0, 160);
    m_criteriaGrid->setFixedHeight(150);
    m_count = new LiveCountLabel(m_db, this);
    m_delete = makeButton("Delete", "DELETE", this);
    auto* ok = makeButton("OK", "OK", this);
    ok->setDefault(true);
    auto* cancel = makeButton("Cancel", "CANCEL", this);

    layOut(ok, cancel);
    setUpKeyboard(ok, cancel);

    connect(m_fields, &QListWidget::currentRowChanged, this, &KRLOOKUP::chooseField);
    connect(m_fields, &QListWidget::itemClicked, this, &KRLOOKUP::focusFrom);
    connect(m_add, &QPushButton::clicked, this, [this] { addCriterion(); });
    connect(m_delete, &QPushButton::clicked, this, &KRLOOKUP::deleteCriterion);
    connect(m_criteriaGrid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { editCriterion(index.row()); });
    connect(ok, &QPushButton::clicked, this, &KRLOOKUP::save);
    connect(cancel, &QPushButton::clicked, this, &KRLOOKUP::reject);
    connect(m_pickList, &PickListPanel::picked, this, &KRLOOKUP::pick);
    connect(m_from, &QLineEdit::textChanged, this, &KRLOOKUP::countLive);
    connect(m_thru, &QLineEdit::textChanged, this, &KRLOOKUP::countLive);
    connect(m_exclude, &QRadioButton::toggled, this, &KRLOOKUP::countLive);
    m_fields->installEventFilter(this);
    m_fields->viewport()->installEventFilter(this);
    m_from->installEventFilter(this);
    m_thru->installEventFilter(this);
}

void KRLOOKUP::layOut(QPushButton* ok, QPushButton* cancel)
{
    // The title on top, the fields beside the range being entered and its
    // pick list, the lookup's criteria below, OK and Cancel at the foot.
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(buddyLabel(QStringLiteral("Lookup Title"), m_title, this));
    titleRow->addWidget(m_title, 1);

    auto* fieldsBox = new QGroupBox(QStringLiteral("1. F&ield"), this);
    auto* fieldsLayout = new QVBoxLayout(fieldsBox);
    fieldsLayout->addWidget(m_fields);

    auto* range = new QGridLayout;
    range->addWidget(buddyLabel(QStringLiteral("From"), m_from, this), 0, 0);
    range->addWidget(m_from, 0, 1);
    range->addWidget(m_thruLabel, 0, 2);
    range->addWidget(m_thru, 0, 3);
    auto* options = new QHBoxLayout;
    options->addWidget(m_include);
    options->addWidget(m_exclude);
    options->addStretch(1);
    options->addWidget(m_add);
    range->addLayout(options, 1, 0, 1, 4);
    range->addWidget(m_hint, 2, 0, 1, 4);
    auto* rangeBox = new QGroupBox(QStringLiteral("2. Range"), this);
    auto* rangeLayout = new QVBoxLayout(rangeBox);
    rangeLayout->addLayout(range);
    rangeLayout->addWidget(m_pickList, 1);
    rangeLayout->addStretch(0);

    auto* middle = new QHBoxLayout;
    middle->addWidget(fieldsBox);
    middle->addWidget(rangeBox, 1);

    auto* criteriaBox = new QGroupBox(QStringLiteral("3. &Criteria of this lookup"), this);
    auto* criteriaLayout = new QHBoxLayout(criteriaBox);
    criteriaLayout->addWidget(m_criteriaGrid, 1);
    auto* criteriaButtons = new QVBoxLayout;
    criteriaButtons->addWidget(m_delete);
    criteriaButtons->addStretch(1);
    criteriaLayout->addLayout(criteriaButtons);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_count);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titleRow);
    layout->addLayout(middle, 1);
    layout->addWidget(criteriaBox);
    layout->addLayout(buttons);
}

void KRLOOKUP::setUpKeyboard(QPushButton* ok, QPushButton* cancel)
{
    for (auto [first, second] : {std::pair<QWidget*, QWidget*>{m_title, m_fields},
                                 {m_fields, m_from},
                                 {m_from, m_thru},
                                 {m_thru, m_include},
                                 {m_include, m_exclude},
                                 {m_exclude, m_add},
                                 {m_add, m_pickList->searchBox()},
                                 {m_pickList->searchBox(), m_pickList->grid()},
                                 {m_pickList->grid(), m_criteriaGrid},
                                 {m_criteriaGrid, m_delete},
                                 {m_delete, ok},
                                 {ok, cancel}})
        setTabOrder(first, second);

    // Access keys that leave the given captions as they are; the tool tips name them.
    auto accessKey = [this](Qt::Key key, QWidget* target, auto action) {
        connect(new QShortcut(QKeySequence(Qt::ALT | key), this), &QShortcut::activated, this,
                action);
        target->setToolTip(QKeySequence(Qt::ALT | key).toString(QKeySequence::NativeText));
    };
    accessKey(Qt::Key_L, m_title, [this] {
        m_title->setFocus();
        m_title->selectAll();
    });
    accessKey(Qt::Key_F, m_from, [this] { focusFrom(); });
    accessKey(Qt::Key_H, m_thru, [this] { m_thru->setFocus(); });
    accessKey(Qt::Key_N, m_include, [this] { m_include->setChecked(true); });
    accessKey(Qt::Key_X, m_exclude, [this] { m_exclude->setChecked(true); });
    accessKey(Qt::Key_A, m_add, [this] { addCriterion(); });
    accessKey(Qt::Key_S, m_pickList->searchBox(), [this] { m_pickList->searchBox()->setFocus(); });
    accessKey(Qt::Key_D, m_delete, [this] { deleteCriterion(); });
}

void KRLOOKUP::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void KRLOOKUP::activate()
{
    m_pickList->clear();
    m_include->setChecked(true);
    m_criteria.clear();
    m_editedRow = -1;
    // No field is chosen before the user chooses one: the list must not take
    // its first field when the keyboard brings the focus to it.
    m_fields->setCurrentIndex(QModelIndex());

    const std::string& file = m_tabs.currentFile();
    m_newLookup = file.empty();
    setWindowTitle(m_newLookup ? QStringLiteral("New Lookup") : QStringLiteral("Edit Lookup"));
    if (m_newLookup) {
        m_title->setText(QStringLiteral("UNTITLED"));
        m_title->selectAll();
        m_title->setFocus();
    } else if (auto lookup = LookupReader::read(m_tabs.folder().path(file)); !lookup.refusal) {
        m_criteria = std::move(lookup.criteria);
        m_title->setText(QString::fromStdString(m_criteria.front().SQLDESC));
    } else {
        Dialogs::tell(this, *lookup.refusal);
        QTimer::singleShot(0, this, &KRLOOKUP::reject);
    }
    refreshCriteria(0);
}

bool KRLOOKUP::fieldAvailable(int position)
{
    const std::string message = CriterionRules::unavailableMessage(position, m_state);
    if (message.empty())
        return true;
    tellInvalid(QString::fromStdString(message));
    return false;
}

void KRLOOKUP::chooseField(int position)
{
    if (position < 0)
        return;
    if (!fieldAvailable(position)) {
        // Nothing changes: the field chosen before stays chosen.
        const QSignalBlocker blocker(m_fields);
        m_fields->setCurrentRow(m_field);
        return;
    }
    m_field = position;
    const QDate today = QDate::currentDate();
    const CriterionEntry::Range start =
        CriterionEntry::startingRange(position, today.year(), today.month());
    m_from->setText(QString::fromStdString(start.from));
    m_thru->setText(QString::fromStdString(start.thru));
    // A field that takes no values greys both boxes.
    const bool takesValues = FieldCatalogue::valueForm(position) != FieldCatalogue::ValueForm::None;
    m_from->setEnabled(takesValues);
    m_thru->setEnabled(start.hasThru && takesValues);
    m_thru->setVisible(start.hasThru);
    m_thruLabel->setVisible(start.hasThru);

    offerCodes(position);
    m_pickList->showFor(position);
    m_hint->setText(QString::fromStdString(CriterionRules::hint(position)));
    // While the list is browsed with the keyboard the focus stays there.
    if (!m_fields->hasFocus())
        focusFrom();
}

void KRLOOKUP::offerCodes(int position)
{
    m_codes.clear();
    try {
        m_codes = CodedValues::read(m_db, position);
    } catch (const DbError& error) {
        tellInvalid(QStringLiteral("The values of ") +
                    QString::fromStdString(FieldCatalogue::caption(position, m_state)) +
                    QStringLiteral(" could not be read: ") + QString::fromUtf8(error.what()));
    }
    m_fromCodes->setValues(m_codes);
    m_thruCodes->setValues(m_codes);
}

void KRLOOKUP::focusFrom()
{
    // With its boxes greyed the field is ready to accept.
    if (!m_from->isEnabled()) {
        m_add->setFocus();
        return;
    }
    m_from->setFocus();
    m_from->selectAll();
}

void KRLOOKUP::pick(int position, const QString& code)
{
    const CriterionEntry::Range range = CriterionEntry::afterPick(
        position, {m_from->text().toStdString(), m_thru->text().toStdString()}, code.toStdString());
    m_from->setText(QString::fromStdString(range.from));
    m_thru->setText(QString::fromStdString(range.thru));
}

void KRLOOKUP::padZipCode()
{
    if (m_fields->currentRow() != Field::ZipCode)
        return;
    const QString zip =
        QString::fromStdString(CriterionRules::paddedZip(m_from->text().toStdString()));
    if (zip != m_from->text())
        m_from->setText(zip);
}

CriterionRules::Accepted KRLOOKUP::typedCriterion() const
{
    const int position = m_fields->currentRow();
    std::string from = CodedValues::proper(m_codes, m_from->text().toStdString());
    if (position == Field::ZipCode)
        from = CriterionRules::paddedZip(from);
    return CriterionRules::accept(position, m_state, from,
                                  CodedValues::proper(m_codes, m_thru->text().toStdString()),
                                  m_exclude->isChecked(), m_criteria, m_editedRow);
}

void KRLOOKUP::editCriterion(int row)
{
    const SQLPARAMETER criterion = m_criteria.at(static_cast<size_t>(row));
    const int position = FieldCatalogue::position(criterion.SQLEXPR);
    if (position < 0 || !fieldAvailable(position))
        return;
    {
        const QSignalBlocker blocker(m_fields);
        m_fields->setCurrentRow(position);
    }
    chooseField(position);
    m_from->setText(QString::fromStdString(criterion.SQLFROM));
    m_thru->setText(QString::fromStdString(criterion.SQLTHRU));
    (criterion.SQLEXCLUDE ? m_exclude : m_include)->setChecked(true);
    m_editedRow = row;
    m_hint->setText(QStringLiteral("Change the range and Accept it: the criterion keeps its row."));
    focusFrom();
}

int KRLOOKUP::place(std::vector<SQLPARAMETER>& criteria, SQLPARAMETER criterion) const
{
    if (m_editedRow >= 0) {
        criteria[static_cast<size_t>(m_editedRow)] = std::move(criterion);
        return m_editedRow;
    }
    criteria.push_back(std::move(criterion));
    return static_cast<int>(criteria.size()) - 1;
}

bool KRLOOKUP::addCriterion()
{
    if (m_fields->currentRow() >= 0)
        padZipCode();
    auto accepted = typedCriterion();
    if (!accepted.criterion) {
        tellInvalid(QString::fromStdString(accepted.message));
        return false;
    }
    const int row = place(m_criteria, std::move(*accepted.criterion));
    m_editedRow = -1;
    refreshCriteria(row);
    m_from->clear();
    m_thru->clear();
    m_include->setChecked(true);
    return true;
}

void KRLOOKUP::deleteCriterion()
{
    const int row = m_criteriaGrid->currentIndex().row();
    if (m_criteria.empty() || row < 0)
        return;
    m_criteria.erase(m_criteria.begin() + row);
    m_editedRow = -1;
    refreshCriteria(row);
}

void KRLOOKUP::refreshCriteria(int currentRow)
{
    const int rows = static_cast<int>(m_criteria.size());
    m_criteriaModel->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < 3; ++column)
            m_criteriaModel->setItem(row, column, new QStandardItem(OldStyleFetch(row, column)));
    // The row Delete removes is always the highlighted one.
    if (rows > 0)
        m_criteriaGrid->setCurrentIndex(
            m_criteriaModel->index(std::clamp(currentRow, 0, rows - 1), 0));
    countLive();
}

void KRLOOKUP::countLive()
{
    std::vector<SQLPARAMETER> criteria = m_criteria;
    if (m_fields->currentRow() >= 0 && !m_from->text().trimmed().isEmpty())
        if (auto typed = typedCriterion(); typed.criterion)
            place(criteria, std::move(*typed.criterion));
    m_count->countFor(criteria);
}

QString KRLOOKUP::OldStyleFetch(int Row, int Col) const
{
    if (Row < 0 || Row >= static_cast<int>(m_criteria.size()))
        return {};
    const SQLPARAMETER& criterion = m_criteria[static_cast<size_t>(Row)];
    switch (Col) {
    case 0:
        return QString::fromStdString(criterion.SQLFIELD);
    case 1:
        return QString::fromStdString(criterion.SQLFROM + " Thru " + criterion.SQLTHRU);
    case 2:
        return criterion.SQLEXCLUDE ? QStringLiteral("Exclude") : QStringLiteral("Include");
    default:
        return {};
    }
}

void KRLOOKUP::save()
{
    // A range typed but not accepted is accepted first; when it is refused
    // the editor stays open, so that the range is not lost.
    if (!m_from->text().trimmed().isEmpty() && !addCriterion())
        return;
    if (m_criteria.empty()) {
        tellInvalid(QStringLiteral("No parameters selected for this search!"));
        return;
    }
    if (m_title->text().isEmpty()) {
        tellInvalid(QStringLiteral("No title entered for this search!"));
        return;
    }
    const auto saved =
        m_tabs.folder().save(m_title->text().toStdString(), m_criteria, m_tabs.currentFile());
    if (!saved.saved()) {
        tellInvalid(QString::fromStdString(saved.message->text));
        return;
    }
    QDialog::accept();
    emit this->saved(QString::fromStdString(saved.fileName), m_newLookup);
}

void KRLOOKUP::reject()
{
    QDialog::reject();
    emit cancelled();
}

void KRLOOKUP::tellInvalid(const QString& text)
{
    Dialogs::tell(this, kTitle, text, QMessageBox::Warning);
}

void KRLOOKUP::keyPressEvent(QKeyEvent* event)
{
    const QWidget* focus = focusWidget();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (focus == m_from || focus == m_thru || focus == m_include || focus == m_exclude)) {
        addCriterion();
        return;
    }
    if (enter && m_pickList->isAncestorOf(focus)) {
        m_pickList->pickCurrent();
        return;
    }
    if (enter && focus == m_fields) {
        focusFrom();
        return;
    }
    if (event->key() == Qt::Key_Delete && focus == m_criteriaGrid) {
        deleteCriterion();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool KRLOOKUP::eventFilter(QObject* watched, QEvent* event)
{
    // A click on a field this database cannot search only says so; the list
    // keeps its choice.
    if (watched == m_fields->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                            event->type() == QEvent::MouseButtonDblClick)) {
        const int row =
            m_fields->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row();
        if (row >= 0 && !fieldAvailable(row))
            return true;
    }
    // The arrow keys pass over the fields this database cannot search.
    if (watched == m_fields && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const int step = key == Qt::Key_Down ? 1 : -1;
            int row = m_fields->currentRow() + step;
            while (row >= 0 && row < FieldCatalogue::kCount &&
                   !FieldCatalogue::availableIn(row, m_state))
                row += step;
            if (row >= 0 && row < FieldCatalogue::kCount)
                m_fields->setCurrentRow(row);
            return true;
        }
    }
    if (watched == m_from && event->type() == QEvent::FocusOut)
        padZipCode();
    // Thru is selected whole when entered, also by a click that would place the cursor.
    if (watched == m_thru && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_thru, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

} // namespace kora
