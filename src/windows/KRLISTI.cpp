#include "windows/KRLISTI.h"

#include "results/CompanyRecord.h"

#include "base/Dates.h"
#include "base/StateRules.h"
#include "database/DbError.h"
#include "database/Schema.h"
#include "results/AddressOverride.h"
#include "results/AmountText.h"
#include "results/CodedTexts.h"
#include "results/CompanyNotes.h"
#include "results/ResultListData.h"
#include "widgets/CenterForm.h"
#include "widgets/DatedNotesEdit.h"
#include "widgets/Dialogs.h"
#include "widgets/LocalFormats.h"
#include "widgets/ScrollingContent.h"
#include "windows/AssociatesBox.h"
#include "windows/FollowUpBox.h"
#include "windows/ModChart.h"
#include "windows/RatingClassesBox.h"
#include "windows/RecordWindowHost.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace kora {

namespace {

QString textOf(const Value& value)
{
    return QString::fromStdString(value.toString());
}

// Keeps a box as narrow as the text it holds.
void fitCharacters(QLineEdit* box, int characters)
{
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QString(characters + 2, 'W')));
}

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

KRLISTI::KRLISTI(RecordWindowHost& list, const QString& file, const QString& sequence,
                 const QString& name1)
    : QDialog(list.listWidget()->window()), m_list(&list), m_listWidget(list.listWidget()),
      m_file(file), m_sequence(sequence)
{
    setObjectName(QStringLiteral("KRLISTI"));
    setWindowTitle(name1.trimmed());
    setModal(true);
    setStyleSheet(QStringLiteral("QLineEdit[readOnly=\"true\"] { background: palette(window); }"));

    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* left = new QVBoxLayout;
    left->addWidget(buildCompany());
    m_classes = new RatingClassesBox(this);
    left->addWidget(m_classes);
    auto* history = new QGroupBox(QStringLiteral("Mod History"), this);
    m_modChart = new ModChart(history);
    (new QVBoxLayout(history))->addWidget(m_modChart);
    left->addWidget(history, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildContact());
    right->addWidget(buildUserFields());
    if (StateRules::hasAssignedRisk(list.state().toStdString()))
        right->addWidget(buildAssignedRisk());
    m_associates = new AssociatesBox(this);
    connect(m_associates, &AssociatesBox::picked, this, &KRLISTI::pickAssociate);
    right->addWidget(m_associates, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    // On a screen smaller than the window the record scrolls, every box within reach.
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(columns, 3);
    m_followUp = new FollowUpBox(this);
    // A done follow-up leaves its line in the notes, which are stored on closing.
    connect(m_followUp, &FollowUpBox::done, this, [this](const FollowUp& done) {
        m_notes->setPlainText(QString::fromStdString(CompanyNotes::withDoneLine(
            m_notes->toPlainText().toStdString(), FollowUps::doneLine(Dates::today(), done.text))));
    });
    auto* notesRow = new QHBoxLayout;
    notesRow->addWidget(buildNotes(), 3);
    notesRow->addWidget(m_followUp, 2);
    layout->addLayout(notesRow, 2);
    QScrollArea* scroll = scrollingContent(content, "RecordScroll", this);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(scroll, 1);
    outer->addLayout(buttons);

    QList<QWidget*> tabOrder(m_userBoxes.begin(), m_userBoxes.end());
    tabOrder << m_notes << m_classes->grid() << m_associates->grid() << close;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    tabOrder.front()->setFocus();

    // The list closes with its workspace and with the program; the note is stored first.
    m_listWidget->installEventFilter(this);
    // As large as its boxes want, but never larger than the screen.
    resize(QSize(980, content->sizeHint().height() + close->sizeHint().height() + 30)
               .boundedTo(screen()->availableSize() - QSize(20, 40)));
    CENTERFORM(this);
}

KRLISTI::~KRLISTI()
{
    // The window is normally closed through done(); one destroyed while open
    // still stores, but a destructor shows no message box.
    finish(false);
}

QLineEdit* KRLISTI::readOnlyBox(const char* name)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    // Tab goes from one box the user types in to the next.
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QLineEdit* KRLISTI::deliveredBox(const char* name, const char* field)
{
    QLineEdit* box = readOnlyBox(name);
    m_delivered.emplace_back(box, field);
    return box;
}

QLineEdit* KRLISTI::userBox(const char* name)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->installEventFilter(this);
    m_userBoxes.push_back(box);
    return box;
}

QWidget* KRLISTI::buildCompany()
{
    auto* group = new QGroupBox(QStringLiteral("Company"), this);
    auto* form = new QFormLayout(group);

    QLineEdit* name1 = deliveredBox("NAME1", "NAME1");
    QFont bold = name1->font();
    bold.setBold(true);
    name1->setFont(bold);
    form->addRow(QStringLiteral("Name"), name1);
    form->addRow(QString(), deliveredBox("NAME2", "NAME2"));
    form->addRow(QStringLiteral("Address"), deliveredBox("STREET", "STREET"));

    auto* city = new QHBoxLayout;
    QLineEdit* st = deliveredBox("ST", "ST");
    QLineEdit* zip = deliveredBox("ZIP", "ZIP");
    QLineEdit* zipExt = deliveredBox("ZIPEXT", "ZIPEXT");
    fitCharacters(st, 2);
    fitCharacters(zip, 5);
    fitCharacters(zipExt, 4);
    city->addWidget(deliveredBox("CITY", "CITY"), 1);
    city->addWidget(st);
    city->addWidget(zip);
    city->addWidget(new QLabel(QStringLiteral("-"), group));
    city->addWidget(zipExt);
    form->addRow(QStringLiteral("City, St, Zip"), city);

    auto* key = new QHBoxLayout;
    QLineEdit* file = deliveredBox("FILE", "FILE");
    QLineEdit* sequence = deliveredBox("SEQUENCE", "SEQUENCE");
    fitCharacters(file, 9);
    fitCharacters(sequence, 2);
    key->addWidget(file);
    key->addWidget(sequence);
    key->addSpacing(12);
    key->addWidget(new QLabel(QStringLiteral("County"), group));
    key->addWidget(deliveredBox("COUNTYNAME", "COUNTYNAME"), 1);
    form->addRow(QStringLiteral("File"), key);

    m_sic = readOnlyBox("SIC");
    form->addRow(QStringLiteral("SIC"), m_sic);

    auto* bands = new QHBoxLayout;
    m_employees = readOnlyBox("EMPLOYEES");
    m_sales = readOnlyBox("SALES");
    bands->addWidget(m_employees, 1);
    bands->addSpacing(12);
    bands->addWidget(new QLabel(QStringLiteral("Sales"), group));
    bands->addWidget(m_sales, 1);
    form->addRow(QStringLiteral("Employees"), bands);
    return group;
}

QWidget* KRLISTI::buildContact()
{
    auto* group = new QGroupBox(QStringLiteral("C&ontact"), this);
    auto* layout = new QGridLayout(group);
    const struct
    {
        const char* label;
        const char* field;
        const char* userLabel;
        const char* userField;
    } rows[] = {{"Contact", "CONTACT", "User Contact", "UserContact"},
                {"Title", "TITLE", "User Title", "UserTitle"},
                {"Phone", "PHONE", "User Phone", "UserPhone"},
                {"Fax", "FAX", "User Fax", "UserFax"}};
    int row = 0;
    for (const auto& line : rows) {
        layout->addWidget(new QLabel(QString::fromLatin1(line.label), group), row, 0);
        layout->addWidget(deliveredBox(line.field, line.field), row, 1);
        auto* userLabel = new QLabel(QString::fromLatin1(line.userLabel), group);
        QLineEdit* box = userBox(line.userField);
        userLabel->setBuddy(box);
        layout->addWidget(userLabel, row, 2);
        layout->addWidget(box, row, 3);
        ++row;
    }
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);
    return group;
}

QWidget* KRLISTI::buildUserFields()
{
    auto* group = new QGroupBox(QStringLiteral("&User Fields"), this);
    auto* form = new QFormLayout(group);
    m_user1 = userBox("User1");
    m_user2 = userBox("User2");
    m_user3 = userBox("User3");
    m_user1->setToolTip(QStringLiteral("Begin with !& to make the next two fields the street and "
                                       "the City ST Zip of the company."));
    auto* lblUser1 = new QLabel(QStringLiteral("User Field 1"), group);
    lblUser1->setObjectName(QStringLiteral("lblUser1"));
    m_lblUser2 = new QLabel(group);
    m_lblUser2->setObjectName(QStringLiteral("lblUser2"));
    m_lblUser3 = new QLabel(group);
    m_lblUser3->setObjectName(QStringLiteral("lblUser3"));
    form->addRow(lblUser1, m_user1);
    form->addRow(m_lblUser2, m_user2);
    form->addRow(m_lblUser3, m_user3);
    relabel();
    connect(m_user1, &QLineEdit::textChanged, this, &KRLISTI::relabel);
    return group;
}

QWidget* KRLISTI::buildAssignedRisk()
{
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("AssignedRisk"));
    auto* layout = new QGridLayout(group);
    auto* title = new QHBoxLayout;
    title->addWidget(heading(QStringLiteral("New Jersey"), group));
    title->addWidget(heading(QStringLiteral("Assigned Risk"), group));
    title->addStretch(1);
    layout->addLayout(title, 0, 0, 1, 4);

    m_text1 = readOnlyBox("Text1");
    const struct
    {
        const char* label;
        QLineEdit* box;
    } cells[] = {{"Date", m_text1},
                 {"Estimated Premium", deliveredBox("Text2", "ARESTPREM")},
                 {"Total Premium", deliveredBox("Text3", "ARTOTPREM")},
                 {"Total Losses", deliveredBox("Text4", "ARTOTLOSS")},
                 {"PPAP", deliveredBox("PPAP", "NJPPAP")},
                 {"NJCCPAP", deliveredBox("NJCCPAP", "NJCCPAP")}};
    int cell = 0;
    for (const auto& [label, box] : cells) {
        const int row = 1 + cell / 2;
        const int column = 2 * (cell % 2);
        layout->addWidget(new QLabel(QString::fromLatin1(label), group), row, column);
        layout->addWidget(box, row, column + 1);
        ++cell;
    }
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);
    return group;
}

QWidget* KRLISTI::buildNotes()
{
    auto* group = new QGroupBox(this);
    m_notes = new DatedNotesEdit(group);
    m_notes->setObjectName(QStringLiteral("NOTES"));
    auto* label = new QLabel(QStringLiteral("Notes:"), group);
    label->setBuddy(m_notes);
    // Each entry begins with the date it was added; the label shows the date
    // that an entry begun now receives.
    auto* dated = new QLabel(QStringLiteral("Date Added"), group);
    auto* today = new QLabel(LocalFormats::today(), group);
    today->setObjectName(QStringLiteral("lblToday"));
    dated->setToolTip(QStringLiteral("Each entry begins with the date it was added."));
    today->setToolTip(dated->toolTip());
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addStretch(1);
    top->addWidget(dated);
    top->addWidget(today);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(top);
    layout->addWidget(m_notes);
    return group;
}

void KRLISTI::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    fill();
}

void KRLISTI::fill()
{
    if (!m_listWidget)
        return;
    try {
        m_associates->show(record().associates());
        m_list->GETNOTES(m_file, m_sequence, m_notes);
        if (m_notes->toPlainText() == QLatin1String(CompanyNotes::kLocked)) {
            // Nothing stays held, even for a note that reads like the marker.
            m_list->releaseNotes();
            // Closed once the window is up, so that an exec() returns too.
            QTimer::singleShot(0, this, [this] { done(Rejected); });
            return;
        }
        m_open = true;
        m_notes->setDating(true);
        m_classes->show(record().classes());
        fillCompany();
        m_modChart->setMods(
            ResultListData(m_list->database())
                .mods(Value(m_file.toStdString()), Value(m_sequence.toStdString())));
    } catch (const DbError& error) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("The company could not be read: ") + error.what(),
                      QMessageBox::Warning);
    }
    relabel();
}

void KRLISTI::fillCompany()
{
    const CompanyRecord company = record();
    const std::optional<CompanyRow> prime = company.read();
    m_followUp->showCompany(
        FollowUps(m_list->database()).of(m_file.toStdString(), m_sequence.toStdString()),
        prime ? prime->text("EXPIRE") : std::string());
    if (!prime)
        return;
    showDelivered(*prime);

    const Value sic = prime->field("SIC");
    QString sicText = textOf(sic);
    m_employees->setText(QString::fromStdString(
        CodedTexts::band(prime->field("EMPLOYEES"), Schema::employeeBands())));
    m_sales->setText(
        QString::fromStdString(CodedTexts::band(prime->field("SALES"), Schema::salesBands())));
    const std::string description = company.sicDescription(sic);
    if (!description.empty())
        sicText += QStringLiteral(" - ") + QString::fromStdString(description);
    m_sic->setText(sicText);
    m_sic->setCursorPosition(0);

    // A company without the date shows the bare separator.
    const std::string assignedRisk = CodedTexts::assignedRiskDate(prime->field("NJAR"));
    if (m_text1)
        m_text1->setText(assignedRisk.empty() ? QStringLiteral("/")
                                              : QString::fromStdString(assignedRisk));
    for (QLineEdit* box : m_userBoxes)
        box->setText(textOf(prime->field(box->objectName().toStdString())));
}

CompanyRecord KRLISTI::record() const
{
    return CompanyRecord(m_list->database(), m_file.toStdString(), m_sequence.toStdString());
}

void KRLISTI::showDelivered(const CompanyRow& prime)
{
    // The assigned-risk premiums and losses are read, never typed: they show
    // as amounts, the stored digits unchanged.
    static const std::set<std::string> amounts = {"ARESTPREM", "ARTOTPREM", "ARTOTLOSS"};
    for (const auto& [box, field] : m_delivered) {
        const QString text = textOf(prime.field(field));
        box->setText(amounts.count(field) != 0
                         ? QString::fromStdString(AmountText::readable(text.toStdString()))
                         : text);
        box->setCursorPosition(0);
    }
}

bool KRLISTI::addressOverride() const
{
    return AddressOverride::isOn(m_user1->text().toStdString());
}

void KRLISTI::relabel()
{
    const bool on = addressOverride();
    m_lblUser2->setText(on ? QStringLiteral("Street") : QStringLiteral("User Field 2"));
    m_lblUser3->setText(on ? QStringLiteral("City St Zip") : QStringLiteral("User Field 3"));
}

bool KRLISTI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_listWidget) {
        if (event->type() == QEvent::Close)
            close();
        return false;
    }
    const bool entering = event->type() == QEvent::FocusIn;
    if (!entering && event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window taking the focus for a while (a message, a menu, another
    // program) leaves it where it is: nothing is entered or left.
    if (!m_open || m_returningFocus || reason == Qt::ActiveWindowFocusReason ||
        reason == Qt::PopupFocusReason)
        return false;
    auto* box = static_cast<QLineEdit*>(watched);
    if (!entering)
        storeUserField(box, true);
    else if (box == m_user1 || box == m_user2 || box == m_user3)
        box->setText(box->text().trimmed());
    return false;
}

void KRLISTI::storeUserField(QLineEdit* box, bool interactive)
{
    const AddressOverride::Entry entry = AddressOverride::entry(
        box->objectName().toStdString(), box->text().trimmed().toStdString(), addressOverride());
    if (storeFields(entry.fields) && !entry.problem.empty() && interactive)
        sendBack(box, QString::fromStdString(entry.problem));
}

bool KRLISTI::storeFields(const CompanyRecord::FieldValues& fields)
{
    if (!m_listWidget)
        return false;
    try {
        const std::optional<CompanyRow> stored = record().store(fields);
        if (!stored)
            return false;
        showDelivered(*stored);
    } catch (const DbError& error) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("The change could not be stored: ") + error.what(),
                      QMessageBox::Warning);
        return false;
    }
    m_list->refreshCompany();
    return true;
}

void KRLISTI::sendBack(QLineEdit* box, const QString& message)
{
    Dialogs::tell(this, Dialogs::defaultTitle(), message, QMessageBox::NoIcon);
    // This move of the focus is not the user's: nothing is stored or trimmed.
    m_returningFocus = true;
    m_notes->setDating(false);
    box->setFocus(Qt::OtherFocusReason);
    m_notes->setDating(m_open);
    m_returningFocus = false;
}

void KRLISTI::pickAssociate(const QString& file, const QString& sequence)
{
    if (!isVisible())
        return;
    hide();
    // The note is stored before the list shows the picked company, which may be this one.
    finish();
    if (m_listWidget)
        m_list->positionOn(file, sequence);
    done(Accepted);
}

void KRLISTI::done(int result)
{
    finish();
    QDialog::done(result);
}

void KRLISTI::finish(bool tellFailure)
{
    if (!m_open)
        return;
    // Closing with Escape or the close box leaves the focus in the box being
    // typed in; its field is stored here, without the address messages.
    auto* box = qobject_cast<QLineEdit*>(focusWidget());
    if (box && std::find(m_userBoxes.begin(), m_userBoxes.end(), box) != m_userBoxes.end())
        storeUserField(box, false);
    m_open = false;
    m_notes->setDating(false);
    if (!m_listWidget)
        return;
    const auto tell = [this, tellFailure](const char* what, const DbError& error) {
        const QString message = QString::fromLatin1(what) + error.what();
        if (tellFailure)
            Dialogs::tell(this, Dialogs::defaultTitle(), message, QMessageBox::Warning);
        else
            qWarning("%s", qUtf8Printable(message));
    };
    // Stored while the note's lock still guards the follow-up too.
    try {
        m_list->storeFollowUp(m_followUp->followUp());
    } catch (const DbError& error) {
        tell("The follow-up could not be stored: ", error);
    }
    try {
        m_list->SETNOTES(m_notes);
    } catch (const DbError& error) {
        tell("The notes could not be stored: ", error);
    }
}

} // namespace kora
