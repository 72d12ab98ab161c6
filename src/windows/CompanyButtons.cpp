#include "windows/CompanyButtons.h"

#include "base/StateRules.h"
#include "lookup/LookupStatement.h"
#include "results/CompanyRow.h"
#include "windows/KREXPORT.h"
#include "windows/KRNYADDR.h"
#include "windows/RecordPrintout.h"

#include <QGridLayout>
#include <QKeySequence>
#include <QPushButton>

namespace kora {

CompanyButtons::CompanyButtons(WindowHost& host, const std::string& state, QWidget* parent)
    : QWidget(parent), m_host(host), m_newYork(StateRules::isNewYork(state))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_moreInfo = addButton(QStringLiteral("More Info..."), "Command1", 0, 0);
    m_fullAddress = addButton(QStringLiteral("Full Address"), "FULLADDR", 0, 1);
    m_fullAddress->setVisible(m_newYork);
    m_printRecord = addButton(QStringLiteral("Print Record"), "PRINTCUR", 1, 0);
    m_exportRecord = addButton(QStringLiteral("Export Record"), "EXPORTCUR", 1, 1);
    m_mark = addButton(QStringLiteral("Exclude"), "MarkIt", 0, 2);
    QPushButton* breakdown = addButton(QStringLiteral("Breakdown..."), "cmdBreakdown", 1, 2);
    m_followUp = addButton(QStringLiteral("Follow-up..."), "cmdFollowUp", 2, 0);
    giveKey(m_moreInfo, QKeySequence(Qt::CTRL | Qt::Key_I),
            QStringLiteral("Opens the company's record"));
    giveKey(m_mark, QKeySequence(Qt::CTRL | Qt::Key_M),
            QStringLiteral("Leaves the company out of this lookup, or takes it back in"));
    giveKey(m_printRecord, QKeySequence(Qt::CTRL | Qt::Key_P),
            QStringLiteral("Prints the company's record"));
    giveKey(m_exportRecord, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
            QStringLiteral("Exports the company's record"));
    giveKey(m_followUp, QKeySequence(Qt::CTRL | Qt::Key_U),
            QStringLiteral("Sets, moves or finishes the company's follow-up"));
    clear();

    connect(m_moreInfo, &QPushButton::clicked, this, &CompanyButtons::moreInfoClicked);
    connect(m_mark, &QPushButton::clicked, this, &CompanyButtons::markClicked);
    connect(breakdown, &QPushButton::clicked, this, &CompanyButtons::breakdownClicked);
    connect(m_followUp, &QPushButton::clicked, this, &CompanyButtons::followUpClicked);
    connect(m_fullAddress, &QPushButton::clicked, this, &CompanyButtons::openFullAddress);
    connect(m_printRecord, &QPushButton::clicked, this, &CompanyButtons::printRecord);
    connect(m_exportRecord, &QPushButton::clicked, this, &CompanyButtons::exportRecord);
}

QPushButton* CompanyButtons::addButton(const QString& caption, const char* name, int row,
                                       int column)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    static_cast<QGridLayout*>(layout())->addWidget(button, row, column);
    return button;
}

void CompanyButtons::giveKey(QPushButton* button, const QKeySequence& key, const QString& what)
{
    button->setShortcut(key);
    button->setToolTip(what + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                       QLatin1Char(')'));
}

void CompanyButtons::showCompany(const CompanyRow& row, bool onLookupTab)
{
    m_file = row.text("FILE");
    m_sequence = row.text("SEQUENCE");
    m_name = row.text("NAME1");
    for (QPushButton* button : {m_moreInfo, m_printRecord, m_exportRecord, m_followUp})
        button->setEnabled(true);
    m_fullAddress->setEnabled(m_newYork);
    m_mark->setEnabled(onLookupTab);
}

void CompanyButtons::clear()
{
    m_file.clear();
    m_sequence.clear();
    m_name.clear();
    for (QPushButton* button :
         {m_moreInfo, m_fullAddress, m_printRecord, m_exportRecord, m_mark, m_followUp})
        button->setEnabled(false);
    m_mark->setText(QStringLiteral("Exclude"));
}

void CompanyButtons::setMarkCaption(const QString& caption)
{
    m_mark->setText(caption);
}

void CompanyButtons::openFullAddress()
{
    KRNYADDR address(m_host, QString::fromStdString(m_file), QString::fromStdString(m_sequence),
                     QString::fromStdString(m_name));
    address.exec();
}

void CompanyButtons::printRecord()
{
    RecordPrintout::print(m_host, m_file, m_sequence);
}

void CompanyButtons::exportRecord()
{
    KREXPORT window(m_host, LookupStatement::oneCompany(m_file, m_sequence).text(),
                    QStringLiteral("Export Record"));
    window.exec();
}

} // namespace kora
