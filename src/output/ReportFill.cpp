#include "output/ReportFill.h"

#include "base/ExclamationTest.h"
#include "base/Quoting.h"
#include "base/StateRules.h"
#include "database/ForwardCursor.h"
#include "database/Schema.h"
#include "lookup/LookupStatement.h"
#include "results/CodedTexts.h"

namespace kora {

namespace {

const Schema::Table& reportTable(const std::string& name)
{
    static const std::vector<Schema::Table> tables = Schema::reportTables();
    for (const auto& table : tables)
        if (table.name == name)
            return table;
    throw std::logic_error("The scratch database has no table " + name);
}

std::vector<std::string> columnsOf(const std::string& table)
{
    std::vector<std::string> names;
    for (const auto& field : reportTable(table).fields)
        names.push_back(field.name);
    return names;
}

// Month x 100 + day of a stored YYYY-MM-DD date (1231); no value when it is no date.
Value monthDay(const Value& date)
{
    const std::string text = date.toString();
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return {};
    try {
        return std::stoi(text.substr(5, 2)) * 100 + std::stoi(text.substr(8, 2));
    } catch (const std::exception&) {
        return {};
    }
}

// The stored YYMM of the New Jersey assigned-risk date as MM/YY; a single
// blank when there is none. A year below 10 is stored without its leading zero.
const char* const kCopied[] = {"NAME1", "NAME2", "STREET", "CITY",       "ST",
                               "AREA",  "SIC",   "COUNTY", "COUNTYNAME", "EMPLOYEES",
                               "SALES", "User1", "User2",  "User3"};

} // namespace

ReportFill::ReportFill(Database& stateDb, Database& scratch, std::string state, Run run)
    : m_stateDb(stateDb), m_scratch(scratch), m_state(std::move(state)), m_run(run),
      m_mods(stateDb.prepare(
          std::string("SELECT ISSUE, EFFECTIVE, EXPIRE, [MOD] FROM MODS WHERE FILE = ? AND "
                      "SEQUENCE = ? ORDER BY EFFECTIVE DESC, EXPIRE DESC") +
          (run == Run::Lookup ? ", ISSUE DESC" : ""))),
      m_classes(stateDb.prepare(
          "SELECT CLASS, CLASSDESC, LOSSCOST FROM CLASS WHERE FILE = ? AND SEQUENCE = ?")),
      m_employees(stateDb.prepare("SELECT DESCRIPTION FROM EMPLOYEES WHERE CODE = ? LIMIT 1")),
      m_sic(stateDb.prepare("SELECT [DESC] FROM SICCODES WHERE CODE = ? LIMIT 1")),
      m_sales(stateDb.prepare("SELECT DESCRIPTION FROM SALES WHERE CODE = ? LIMIT 1")),
      m_notes(stateDb.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?")),
      m_followUp(stateDb.prepare("SELECT DUE, TEXT FROM FOLLOWUP WHERE FILE = ? AND SEQUENCE = ?")),
      m_primeColumns(columnsOf("PRIME")),
      m_insertPrime(scratch.prepare(Database::insertSql("PRIME", m_primeColumns))),
      m_insertClass(scratch.prepare(Database::insertSql("CLASS", columnsOf("CLASS"))))
{
    for (size_t i = 0; i < m_primeColumns.size(); ++i)
        m_primeIndex[m_primeColumns[i]] = static_cast<int>(i);
    m_class.resize(columnsOf("CLASS").size());
    if (StateRules::isNewYork(m_state))
        m_addresses.emplace(
            stateDb.prepare("SELECT ADDRESSES FROM ADDRESSES WHERE FILE = ? AND SEQUENCE = ?"));
}

long long ReportFill::fillFrom(const std::string& sourceSql, const Progress& progress)
{
    ForwardCursor companies(m_stateDb, sourceSql);
    long long included = 0;
    m_scratch.begin();
    while (companies.next()) {
        if (m_run == Run::Lookup && companies.field("Omit").toString() >= "!")
            continue;
        addCompany(companies);
        ++included;
        if (included % kCommitEvery == 0) {
            commit();
            m_scratch.begin();
        }
        if (progress)
            progress(included);
    }
    commit();
    return included;
}

bool ReportFill::fillCompany(const std::string& file, const std::string& sequence)
{
    ForwardCursor company(m_stateDb, LookupStatement::oneCompany(file, sequence).text());
    if (!company.next())
        return false;
    addCompany(company);
    return true;
}

void ReportFill::commit()
{
    m_scratch.commit();
    ++m_commits;
}

void ReportFill::set(const std::string& name, const Value& value)
{
    m_prime[m_primeIndex.at(name)] = value;
}

Value ReportFill::lookUp(Statement& query, const Value& first, const Value& second)
{
    query.reset();
    query.bind(1, first);
    if (!second.isNull())
        query.bind(2, second);
    Value found;
    if (query.step())
        found = query.column(0);
    query.reset();
    return found;
}

void ReportFill::addCompany(const ForwardCursor& company)
{
    m_prime.assign(m_primeColumns.size(), Value());
    const Value file = company.field("FILE");
    const Value sequence = company.field("SEQUENCE");
    set("FILE", file);
    set("SEQUENCE", sequence);
    for (const char* name : kCopied)
        set(name, company.field(name));
    const Value zipExtension = company.field("ZIPEXT");
    set("ZIP", company.field("ZIP").toString() + (passesExclamationTest(zipExtension.toString())
                                                      ? "-" + zipExtension.toString()
                                                      : std::string()));
    for (const auto& [loaded, user] : kUserOverrides) {
        const Value own = company.field(user);
        set(loaded, passesExclamationTest(own.toString()) ? own : company.field(loaded));
    }
    fillMods(file, sequence);
    set("EMPDESC", lookUp(m_employees, company.field("EMPLOYEES")));
    set("SICDESC", lookUp(m_sic, company.field("SIC")));
    set("SALESDESC", lookUp(m_sales, company.field("SALES")));
    if (StateRules::hasAssignedRisk(m_state)) {
        for (const char* name : StateRules::kAssignedRiskFields)
            set(name, company.field(name));
        // NJAR is stored as YYMM and shown as MM/YY.
        const std::string assignedRisk = CodedTexts::assignedRiskDate(company.field("NJAR"));
        set("NJAR", assignedRisk.empty() ? " " : assignedRisk);
    }
    set("NOTES", lookUp(m_notes, file, sequence));
    m_followUp.reset();
    m_followUp.bindAll({file, sequence});
    if (m_followUp.step()) {
        set("FOLLOWUPDUE", m_followUp.column(0));
        set("FOLLOWUPTEXT", m_followUp.column(1));
    }
    m_followUp.reset();
    if (StateRules::isNewYork(m_state)) {
        set("ADDRESSES", lookUp(*m_addresses, file, sequence));
        set("REVISED", company.field("REVISED"));
        set("INTERSTATE", company.field("INTERSTATE"));
    }
    m_insertPrime.reset();
    m_insertPrime.bindAll(m_prime).run();
    m_insertPrime.reset();
    fillClasses(file, sequence);
}

void ReportFill::fillMods(const Value& file, const Value& sequence)
{
    const bool withEffective = m_run == Run::Record || m_state != "NY";
    m_mods.reset();
    m_mods.bind(1, file).bind(2, sequence);
    for (int n = 0; n < kMods && m_mods.step(); ++n) {
        const std::string number = std::to_string(n);
        set("ISSUE" + number, m_mods.column(0));
        if (withEffective)
            set("EFFECTIVE" + number, m_mods.column(1));
        set("EXPIRE" + number, m_mods.column(2));
        set("MOD" + number, m_mods.column(3));
    }
    m_mods.reset();
    if (m_run == Run::Lookup)
        set("EXPIRE", monthDay(m_prime[m_primeIndex.at("EXPIRE0")]));
}

void ReportFill::fillClasses(const Value& file, const Value& sequence)
{
    m_class.assign(m_class.size(), Value());
    m_class[0] = file;
    m_class[1] = sequence;
    m_classes.reset();
    m_classes.bind(1, file).bind(2, sequence);
    for (int n = 0; n < kClasses && m_classes.step(); ++n) {
        m_class[2 + 3 * n] = m_classes.column(0);
        m_class[3 + 3 * n] = m_classes.column(1);
        m_class[4 + 3 * n] = m_classes.column(2);
    }
    m_classes.reset();
    m_insertClass.reset();
    m_insertClass.bindAll(m_class).run();
    m_insertClass.reset();
}

} // namespace kora
