#include "output/ExportCompanyReader.h"

#include "base/Blanks.h"
#include "base/ExclamationTest.h"
#include "base/StateRules.h"
#include "output/ExportText.h"

#include <utility>

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
      // Each company's classes in the order of their codes, as its key's index gives them.
      m_classes(stateDb,
                "SELECT C.FILE, C.SEQUENCE, C.CLASS, L.\"DESC\" FROM CLASS C LEFT JOIN "
                "CLASSLIST L ON L.CLASS = C.CLASS",
                "C.FILE", "C.FILE, C.SEQUENCE, C.CLASS"),
      m_followUps(stateDb, "SELECT FILE, SEQUENCE, DUE, TEXT FROM FOLLOWUP", "FILE",
                  "FILE, SEQUENCE"),
      m_employeeBands(stateDb.prepare("SELECT DESCRIPTION FROM EMPLOYEES WHERE CODE = ? LIMIT 1")),
      m_salesBands(stateDb.prepare("SELECT DESCRIPTION FROM SALES WHERE CODE = ? LIMIT 1"))
{
    m_employeeBands.readWholeResult();
    m_salesBands.readWholeResult();
}

void ExportCompanyReader::add(const SourceRow& row, bool zipJoined)
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
        company.employeesText = bandText(m_employeeBands, m_employeeTexts, company.employees);
        company.salesText = bandText(m_salesBands, m_salesTexts, company.sales);
    }
    company.user1 = row.text("User1");
    company.user2 = row.text("User2");
    company.user3 = row.text("User3");
    if (m_choice.properCase)
        for (std::string* text : {&company.name1, &company.name2, &company.street, &company.city,
                                  &company.contact, &company.title})
            *text = ExportText::properCase(*text);
    if (m_newJersey)
        for (const char* field : StateRules::kAssignedRiskFields)
            company.newJersey.push_back(row.text(field));
    m_companies.push_back(std::move(company));
    m_keys.push_back({file, sequence});
}

std::vector<ExportCompany> ExportCompanyReader::take()
{
    const auto mods = m_mods.newestFirst(m_keys, static_cast<size_t>(m_choice.modSlots()));
    for (size_t place = 0; place < m_companies.size(); ++place)
        for (const CompanyMods::Mod& mod : mods[place])
            m_companies[place].mods.push_back({ExportText::expirationText(mod.expire), mod.mod});
    if (m_choice.classSlots() > 0)
        readClasses();
    if (m_choice.layout == ExportLayout::Workbook)
        readFollowUps();
    m_keys.clear();
    std::vector<ExportCompany> companies = std::exchange(m_companies, {});
    m_companies.reserve(CompanyBatch::kCompanies);
    return companies;
}

void ExportCompanyReader::readClasses()
{
    const auto slots = static_cast<size_t>(m_choice.classSlots());
    m_classes.read(m_keys, [&](size_t place, const Statement& row) {
        std::vector<ExportCompany::Class>& classes = m_companies[place].classes;
        if (classes.size() < slots)
            classes.push_back({row.column(2).toString(), row.column(3).toString()});
    });
}

void ExportCompanyReader::readFollowUps()
{
    // A company has one follow-up at most.
    m_followUps.read(m_keys, [&](size_t place, const Statement& row) {
        ExportCompany& company = m_companies[place];
        company.followUpDue = ExportText::expirationText(row.column(2).toString());
        company.followUpText = row.column(3).toString();
    });
}

std::string ExportCompanyReader::bandText(Statement& bands,
                                          std::map<std::string, std::string>& known,
                                          const std::string& code)
{
    const auto at = known.find(code);
    if (at != known.end())
        return at->second;
    bands.reset();
    bands.bind(1, Value(code));
    const std::string text = bands.step() ? bands.column(0).toString() : std::string();
    bands.reset();
    return known.emplace(code, text).first->second;
}

} // namespace kora
