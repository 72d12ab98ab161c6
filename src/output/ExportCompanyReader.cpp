#include "output/ExportCompanyReader.h"

#include "base/Blanks.h"
#include "base/ExclamationTest.h"
#include "base/StateRules.h"
#include "output/ExportText.h"

namespace kora {

namespace {

// The delivered value, or the user's own when that passes the exclamation test.
std::string overridden(const SourceRow& row, const char* delivered, const char* user)
{
    std::string own = row.text(user);
    return passesExclamationTest(own) ? own : row.text(delivered);
}

std::string trimmed(const std::string& text)
{
    return std::string(trimBlanks(text));
}

} // namespace

ExportCompanyReader::ExportCompanyReader(Database& stateDb, const ExportChoice& choice,
                                         bool newJersey)
    : m_choice(choice), m_newJersey(newJersey), m_mods(stateDb),
      m_classes(stateDb.prepare("SELECT C.CLASS, L.\"DESC\" FROM CLASS C LEFT JOIN CLASSLIST L "
                                "ON L.CLASS = C.CLASS WHERE C.FILE = ? AND C.SEQUENCE = ?")),
      m_employeeBands(stateDb.prepare("SELECT DESCRIPTION FROM EMPLOYEES WHERE CODE = ? LIMIT 1")),
      m_salesBands(stateDb.prepare("SELECT DESCRIPTION FROM SALES WHERE CODE = ? LIMIT 1")),
      m_followUp(stateDb.prepare("SELECT DUE, TEXT FROM FOLLOWUP WHERE FILE = ? AND SEQUENCE = ?"))
{
    // A few rows per company, read for every company exported.
    for (Statement* perCompany : {&m_classes, &m_employeeBands, &m_salesBands, &m_followUp})
        perCompany->readWholeResult();
}

ExportCompany ExportCompanyReader::read(const SourceRow& row, bool zipJoined)
{
    ExportCompany company;
    const Value file = row.field("FILE");
    const Value sequence = row.field("SEQUENCE");
    company.key = file.toString() + "-" + sequence.toString();
    company.name1 = row.text("NAME1");
    company.name2 = row.text("NAME2");
    company.street = row.text("STREET");
    company.city = row.text("CITY");
    company.st = row.text("ST");
    company.zip = zipJoined ? row.text("ZIP") : row.text("ZIP") + "-" + row.text("ZIPEXT");
    const std::string userPhone = row.text("UserPhone");
    company.phone = trimmed(passesExclamationTest(userPhone) ? userPhone : row.text("PHONE"));
    const std::string userFax = row.text("UserFax");
    company.fax = passesExclamationTest(userFax) ? trimmed(userFax) : row.text("FAX");
    company.contact = overridden(row, "CONTACT", "UserContact");
    company.title = overridden(row, "TITLE", "UserTitle");
    company.sic = row.text("SIC");
    company.employees = row.text("EMPLOYEES");
    company.sales = row.text("SALES");
    if (m_choice.layout == ExportLayout::Workbook) {
        company.employeesText = bandText(m_employeeBands, company.employees);
        company.salesText = bandText(m_salesBands, company.sales);
        m_followUp.reset();
        m_followUp.bindAll({file, sequence});
        if (m_followUp.step()) {
            company.followUpDue = ExportText::expirationText(m_followUp.column(0).toString());
            company.followUpText = m_followUp.column(1).toString();
        }
        m_followUp.reset();
    }
    company.user1 = row.text("User1");
    company.user2 = row.text("User2");
    company.user3 = row.text("User3");
    if (m_choice.properCase)
        for (std::string* text : {&company.name1, &company.name2, &company.street, &company.city,
                                  &company.contact, &company.title})
            *text = ExportText::properCase(*text);

    for (const CompanyMods::Mod& mod :
         m_mods.newestFirst(file, sequence, static_cast<size_t>(m_choice.modSlots())))
        company.mods.push_back({ExportText::expirationText(mod.expire), mod.mod});
    if (m_choice.classSlots() > 0)
        readClasses(file, sequence, company);
    if (m_newJersey)
        for (const char* field : StateRules::kAssignedRiskFields)
            company.newJersey.push_back(row.text(field));
    return company;
}

void ExportCompanyReader::readClasses(const Value& file, const Value& sequence,
                                      ExportCompany& company)
{
    m_classes.reset();
    m_classes.bind(1, file).bind(2, sequence);
    const auto slots = static_cast<size_t>(m_choice.classSlots());
    while (company.classes.size() < slots && m_classes.step())
        company.classes.push_back({m_classes.column(0).toString(), m_classes.column(1).toString()});
    m_classes.reset();
}

std::string ExportCompanyReader::bandText(Statement& bands, const std::string& code)
{
    bands.reset();
    bands.bind(1, Value(code));
    const std::string text = bands.step() ? bands.column(0).toString() : std::string();
    bands.reset();
    return text;
}

} // namespace kora
