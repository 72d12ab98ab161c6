#include "windows/CompanyPanel.h"

#include "base/Dates.h"
#include "base/StateRules.h"
#include "results/CompanyRow.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kora {

namespace {

QString modText(const Value& mod)
{
    return mod.isNull() ? QString() : QString::number(mod.toDouble(), 'f', 3);
}

QLineEdit* readOnlyBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    return box;
}

// A box too narrow for its text shows the text's beginning, the whole text
// in its tool tip.
void showContact(QLineEdit* box, const std::string& text)
{
    box->setText(QString::fromStdString(text));
    box->setCursorPosition(0);
    box->setToolTip(box->text().trimmed());
}

// The light yellow of a company whose address the user has overridden.
const QColor kOverriddenAddress(255, 255, 128);

QLabel* flagLabel(const char* text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    // Dark red on a light window, light red on a dark one.
    const bool darkWindow = parent->palette().color(QPalette::Window).lightness() < 128;
    label->setStyleSheet(
        darkWindow ? QStringLiteral("QLabel { color: rgb(255, 128, 128); font-weight: "
                                    "bold; }")
                   : QStringLiteral("QLabel { color: rgb(128, 0, 0); font-weight: bold; }"));
    label->setVisible(false);
    return label;
}

// The text colour that reads on the box: black on the light yellow, else the palette's own.
QColor readableText(const QPlainTextEdit* box)
{
    return box->palette().color(QPalette::Base) == kOverriddenAddress
               ? QColor(Qt::black)
               : QApplication::palette().color(QPalette::Text);
}

void setTextColour(QPlainTextEdit* box, const QColor& colour)
{
    QPalette colours = box->palette();
    colours.setColor(QPalette::Text, colour);
    box->setPalette(colours);
}

} // namespace

CompanyPanel::CompanyPanel(const std::string& state, QWidget* parent)
    : QWidget(parent), m_state(state)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildCompany());
    layout->addWidget(buildMods(), 1);
}

QWidget* CompanyPanel::buildCompany()
{
    auto* company = new QGroupBox(QStringLiteral("Company"), this);
    m_address = new QPlainTextEdit(company);
    m_address->setObjectName(QStringLiteral("ADDRESS"));
    m_address->setReadOnly(true);
    // Room for the four lines of a summary and no more, so that the list
    // fits an 800 by 600 screen whole.
    m_address->setFixedHeight(m_address->fontMetrics().lineSpacing() * 4 + 14);
    m_phone = readOnlyBox("PHONE", company);
    m_fax = readOnlyBox("txtFax", company);
    m_contact = readOnlyBox("CONTACT", company);
    m_title = readOnlyBox("TITLE", company);
    // Telephone and fax are short and share a line; contact and title get
    // the whole width.
    auto* contacts = new QGridLayout;
    contacts->addWidget(new QLabel(QStringLiteral("Phone:"), company), 0, 0);
    contacts->addWidget(m_phone, 0, 1);
    contacts->addWidget(new QLabel(QStringLiteral("Fax:"), company), 0, 2);
    contacts->addWidget(m_fax, 0, 3);
    contacts->addWidget(new QLabel(QStringLiteral("Contact:"), company), 1, 0);
    contacts->addWidget(m_contact, 1, 1, 1, 3);
    contacts->addWidget(new QLabel(QStringLiteral("Title:"), company), 2, 0);
    contacts->addWidget(m_title, 2, 1, 1, 3);
    contacts->setColumnStretch(1, 1);
    contacts->setColumnStretch(3, 1);
    const int phoneWidth =
        m_phone->fontMetrics().horizontalAdvance(QStringLiteral("(000) 000-0000")) + 12;
    m_phone->setMinimumWidth(phoneWidth);
    m_fax->setMinimumWidth(phoneWidth);

    m_associated = flagLabel("Associated Companies", "lblAssociated", company);
    m_seeNotes = flagLabel("See Notes", "lblNotes", company);
    m_interstate = flagLabel("Interstate", "lblInterstate", company);
    m_revised = flagLabel("Revised", "lblRevised", company);
    m_assignedRisk = flagLabel("Assigned Risk", "lblAssignedRisk", company);
    // Each flag keeps its place while hidden, so that what stands below the
    // flags never moves from one company to the next.
    auto* flags = new QGridLayout;
    flags->addWidget(m_associated, 0, 0);
    flags->addWidget(m_seeNotes, 0, 1);
    flags->addWidget(m_assignedRisk, 1, 0);
    flags->addWidget(m_interstate, 1, 1);
    flags->addWidget(m_revised, 1, 2);
    flags->setColumnStretch(3, 1);
    for (QLabel* flag : {m_associated, m_seeNotes, m_interstate, m_revised, m_assignedRisk}) {
        QSizePolicy policy = flag->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        flag->setSizePolicy(policy);
    }

    auto* layout = new QVBoxLayout(company);
    layout->addWidget(m_address);
    layout->addLayout(contacts);
    layout->addLayout(flags);
    return company;
}

QWidget* CompanyPanel::buildMods()
{
    auto* mods = new QGroupBox(QStringLiteral("Mods"), this);
    m_mods = new QStandardItemModel(0, 4, mods);
    m_modsGrid = new QTableView(mods);
    m_modsGrid->setObjectName(QStringLiteral("TDBGrid2"));
    m_modsGrid->setModel(m_mods);
    m_modsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_modsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_modsGrid->verticalHeader()->hide();
    m_modsGrid->verticalHeader()->setDefaultSectionSize(m_modsGrid->fontMetrics().height() + 6);
    m_modsGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    const bool newYork = StateRules::isNewYork(m_state);
    const bool merit = StateRules::hasMeritClasses(m_state);
    m_mods->setHorizontalHeaderLabels(
        {QStringLiteral("Issue"), newYork ? QStringLiteral(" ") : QStringLiteral("Effective"),
         newYork ? QStringLiteral("Anniversary") : QStringLiteral("Expires"),
         merit ? QStringLiteral("Merit Class") : QStringLiteral("MOD")});
    m_modsGrid->setColumnHidden(1, newYork);
    m_modTrend = new QLabel(mods);
    m_modTrend->setObjectName(QStringLiteral("lblModTrend"));
    auto* layout = new QVBoxLayout(mods);
    layout->addWidget(m_modTrend);
    layout->addWidget(m_modsGrid);
    // The trend line takes its height from the grid, which scrolls, so that
    // the list still fits a small screen.
    m_modsGrid->setMinimumHeight(m_modsGrid->minimumSizeHint().height() -
                                 m_modTrend->sizeHint().height() - layout->spacing());
    return mods;
}

void CompanyPanel::show(const CompanyRow& row, CompanySummary::Tab tab, bool hasNotes,
                        const std::vector<ResultListData::Mod>& mods)
{
    m_address->setPlainText(QString::fromStdString(CompanySummary::text(row, tab))
                                .replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (tab == CompanySummary::Tab::AllCompanies) {
        QPalette colours = m_address->palette();
        colours.setColor(QPalette::Base, CompanySummary::addressOverridden(row)
                                             ? kOverriddenAddress
                                             : QApplication::palette().color(QPalette::Base));
        m_address->setPalette(colours);
        setTextColour(m_address, readableText(m_address));
    }
    const auto contacts = CompanySummary::contacts(row, tab);
    showContact(m_phone, contacts.phone);
    showContact(m_fax, contacts.fax);
    showContact(m_contact, contacts.contact);
    showContact(m_title, contacts.title);

    const bool newYork = StateRules::isNewYork(m_state);
    m_associated->setVisible(row.field("ASSOCIATES").toBool());
    m_seeNotes->setVisible(hasNotes);
    m_interstate->setVisible(newYork && row.field("INTERSTATE").toBool());
    m_revised->setVisible(newYork && row.field("REVISED").toBool());
    m_assignedRisk->setVisible(CompanySummary::assignedRisk(row, tab, m_state));

    m_modTrend->setText(QString::fromStdString(CompanySummary::modTrend(mods)));
    m_mods->removeRows(0, m_mods->rowCount());
    for (const ResultListData::Mod& mod : mods) {
        QList<QStandardItem*> items;
        for (const std::string* date : {&mod.issue, &mod.effective, &mod.expire})
            items << new QStandardItem(QString::fromStdString(Dates::toMonthDayYear(*date)));
        items << new QStandardItem(modText(mod.mod));
        items.back()->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_mods->appendRow(items);
    }
}

void CompanyPanel::clear()
{
    m_address->clear();
    for (QLineEdit* box : {m_phone, m_fax, m_contact, m_title})
        box->clear();
    for (QLabel* flag : {m_associated, m_seeNotes, m_interstate, m_revised, m_assignedRisk})
        flag->setVisible(false);
    m_modTrend->clear();
    m_mods->removeRows(0, m_mods->rowCount());
}

void CompanyPanel::showLookupRunning()
{
    setTextColour(m_address, QColor(255, 0, 0));
    m_address->setPlainText(QStringLiteral("                      *** PERFORMING LOOKUP ***\n"));
    m_address->repaint();
    setTextColour(m_address, readableText(m_address));
}

} // namespace kora
