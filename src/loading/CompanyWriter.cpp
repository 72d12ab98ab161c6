#include "loading/CompanyWriter.h"

#include "base/FieldName.h"
#include "loading/LoadChanges.h"
#include "loading/ModTrendWriter.h"
#include "loading/RecordValues.h"

#include <algorithm>
#include <optional>

namespace kora {

namespace {

enum PrimeColumn
{
    State,
    File,
    Sequence,
    FileSeq,
    Name1,
    NameSort,
    Name2,
    Street,
    City,
    St,
    Zip,
    ZipExt,
    Phone,
    Area,
    Fax,
    Contact,
    Title,
    Sic,
    County,
    CountyName,
    CountySort,
    Employees,
    Sales,
    Associates,
    Interstate,
    Revised,
    Expire,
    Mod,
    Issue1,
    Conditional,
    ArEstPrem,
    ArTotPrem,
    ArTotLoss,
    NjAr,
    NjPpap,
    NjCcpap,
    User1,
    User2,
    User3,
    Omit,
    PrimeColumnCount
};

// How a later record of a company already stored by this load changes its row.
enum class Merge
{
    Replace,         // the later record's value
    KeepWhenMissing, // the later record's value when it has one
    LatestExpire,    // the value that belongs to the later EXPIRE; equal keeps the first
    Greatest         // the greater value
};

struct PrimeField
{
    const char* name;
    Merge merge;
};

const PrimeField kPrimeFields[PrimeColumnCount] = {
    {"STATE", Merge::Replace},
    {"FILE", Merge::Replace},
    {"SEQUENCE", Merge::Replace},
    {"FILESEQ", Merge::Replace},
    {"NAME1", Merge::Replace},
    {"NameSort", Merge::Replace},
    {"NAME2", Merge::Replace},
    {"STREET", Merge::Replace},
    {"CITY", Merge::Replace},
    {"ST", Merge::Replace},
    {"ZIP", Merge::Replace},
    {"ZIPEXT", Merge::Replace},
    {"PHONE", Merge::Replace},
    {"AREA", Merge::Replace},
    {"FAX", Merge::Replace},
    {"CONTACT", Merge::Replace},
    {"TITLE", Merge::Replace},
    {"SIC", Merge::Replace},
    {"COUNTY", Merge::Replace},
    {"COUNTYNAME", Merge::KeepWhenMissing},
    {"CountySort", Merge::KeepWhenMissing},
    {"EMPLOYEES", Merge::Replace},
    {"SALES", Merge::Replace},
    {"ASSOCIATES", Merge::Replace},
    {"INTERSTATE", Merge::KeepWhenMissing},
    {"REVISED", Merge::KeepWhenMissing},
    {"EXPIRE", Merge::LatestExpire},
    {"MOD", Merge::LatestExpire},
    {"ISSUE1", Merge::Greatest},
    {"CONDITIONAL", Merge::KeepWhenMissing},
    {"ARESTPREM", Merge::KeepWhenMissing},
    {"ARTOTPREM", Merge::KeepWhenMissing},
    {"ARTOTLOSS", Merge::KeepWhenMissing},
    {"NJAR", Merge::KeepWhenMissing},
    {"NJPPAP", Merge::KeepWhenMissing},
    {"NJCCPAP", Merge::KeepWhenMissing},
    {"User1", Merge::Replace},
    {"User2", Merge::Replace},
    {"User3", Merge::Replace},
    {"Omit", Merge::Replace},
};

// The names of PRIME's columns a company load writes.
std::vector<std::string> primeColumns()
{
    std::vector<std::string> names;
    for (const PrimeField& field : kPrimeFields)
        names.emplace_back(field.name);
    return names;
}

// What a company met again in the file does to the row stored before: the
// row changed field by field as the Merge rules say.
std::string mergeAction()
{
    std::string changes;
    for (int index = 0; index < PrimeColumnCount; ++index) {
        const std::string column = quoteIdentifier(kPrimeFields[index].name);
        const Merge merge = kPrimeFields[index].merge;
        const std::string later = "excluded." + column;
        const std::string stored = "PRIME." + column;
        std::string merged;
        switch (merge) {
        case Merge::Replace:
            merged = later;
            break;
        case Merge::KeepWhenMissing:
            merged = "COALESCE(" + later + ", " + stored + ")";
            break;
        case Merge::LatestExpire:
        case Merge::Greatest: {
            const std::string key = merge == Merge::Greatest ? column : "\"EXPIRE\"";
            merged = "CASE WHEN PRIME." + key + " IS NULL OR excluded." + key + " > PRIME." + key +
                     " THEN " + later + " ELSE " + stored + " END";
            break;
        }
        }
        changes += (changes.empty() ? "" : ", ") + column + " = " + merged;
    }
    return "DO UPDATE SET " + changes;
}

// The standard slot test reads the effective month, the New York one the issue month.
bool slotHoldsMod(const UpdateFile& file, int slot, bool newYork)
{
    using namespace CompanyRecord;
    if (newYork)
        return file.field(slotField(slot, {kSlotIssue.position, 2})) > std::string_view("  ");
    const auto month =
        RecordValues::digits(file.field(slotField(slot, {kSlotEffective.position + 2, 2})));
    return month && *month > 0;
}

} // namespace

CompanyWriter::CompanyWriter(Database& db, LoadChanges& changes, ModTrendWriter& trend,
                             bool newYork, bool newJersey)
    : m_changes(changes), m_trend(trend), m_newYork(newYork), m_newJersey(newJersey),
      m_counties(db, "SELECT CODE, COUNTY FROM COUNTY"),
      m_companies(
          db.mergingRowWriter("PRIME", primeColumns(), {"FILE", "SEQUENCE"}, mergeAction())),
      m_mods(db.rowWriter("MODS", {"FILE", "SEQUENCE", "ISSUE", "EFFECTIVE", "EXPIRE", "MOD"}))
{
}

void CompanyWriter::finish()
{
    m_mods->finish();
    m_companies->finish();
}

bool CompanyWriter::convert(const UpdateFile& file, Rows& rows) const
{
    using namespace CompanyRecord;
    if (file.record() <= std::string_view("!"))
        return false;
    std::vector<Value>& company = rows.company;
    company.resize(PrimeColumnCount);
    // Texts are set in place, so that they keep their memory from one record
    // to the next; fields not set stay empty (no value).
    auto put = [&company, &file](PrimeColumn column, RecordField field) {
        company[column].setText(file.field(field));
    };
    if (m_newYork)
        company[File] = RecordValues::newYorkFile(file, kNyFile);
    else
        put(File, kFile);
    put(Sequence, m_newYork ? kNySequence : kSequence);
    put(State, kState);
    company[FileSeq].setText(company[File].text());
    company[FileSeq].appendText(company[Sequence].text());
    put(Name1, m_newYork ? kNyName1 : kName1);
    put(NameSort, m_newYork ? kNyName1 : kName1);
    if (m_newYork)
        company[Name2].setText(" ");
    else
        put(Name2, kName2);
    put(Street, m_newYork ? kNyStreet : kStreet);
    put(City, kCity);
    put(St, kSt);
    put(Zip, kZip);
    put(ZipExt, kZipExt);
    put(Phone, kPhone);
    put(Area, kArea);
    put(Fax, kFax);
    put(Contact, kContact);
    put(Title, kTitle);
    put(Sic, kSic);
    put(County, kCounty);
    // An unknown county leaves the names as they were.
    if (const std::string* countyName = m_counties.find(file.field(kCounty))) {
        company[CountyName].setText(*countyName);
        company[CountySort].setText(*countyName);
    } else {
        company[CountyName] = Value();
        company[CountySort] = Value();
    }
    put(Employees, kEmployees);
    put(Sales, kSales);
    company[Associates] = Value(file.field(kAssociates) == "Y");
    for (PrimeColumn column : {User1, User2, User3, Omit})
        company[column].setText(" ");
    for (PrimeColumn column : {Revised, Interstate, Conditional, ArEstPrem, ArTotPrem, ArTotLoss,
                               NjAr, NjPpap, NjCcpap, Expire, Mod, Issue1})
        company[column] = Value();
    if (m_newYork) {
        company[Revised] = Value(file.field(kNyRevised) == "R");
        company[Interstate] = Value(file.field(kNyInterstate) == "I");
    }
    if (m_newJersey) {
        put(Conditional, kConditional);
        put(ArEstPrem, kArEstPrem);
        put(ArTotPrem, kArTotPrem);
        put(ArTotLoss, kArTotLoss);
        put(NjPpap, kNjPpap);
        put(NjCcpap, kNjCcpap);
        const auto year = RecordValues::digits(file.field(kNjArYear));
        const auto month = RecordValues::digits(file.field(kNjArMonth));
        if (year && month)
            company[NjAr] = Value(static_cast<double>(*year * 100 + *month));
    }
    convertMods(file, rows);
    return true;
}

void CompanyWriter::convertMods(const UpdateFile& file, Rows& rows) const
{
    using namespace CompanyRecord;
    std::vector<Value>& company = rows.company;
    std::optional<std::string> latestExpire;
    std::optional<int> latestIssueYear;
    rows.modCount = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!slotHoldsMod(file, slot, m_newYork))
            continue;
        const auto digits = RecordValues::digits(file.field(slotField(slot, kSlotMod)));
        if (!digits)
            continue;
        // Divided, not multiplied by 0.001, so that 9886 is exactly the number 9.886.
        const double mod = static_cast<double>(*digits) / 1000.0;
        const std::string issue =
            RecordValues::date(file.field(slotField(slot, kSlotIssue)), !m_newYork);
        const std::string expire =
            RecordValues::date(file.field(slotField(slot, kSlotExpire)), !m_newYork);
        std::vector<Value>& row = rows.mods[static_cast<std::size_t>(rows.modCount++)];
        row.resize(6);
        row[0].setText(company[File].text());
        row[1].setText(company[Sequence].text());
        row[2].setText(issue);
        row[3].setText(RecordValues::date(file.field(slotField(slot, kSlotEffective)), true));
        row[4].setText(expire);
        row[5] = mod;
        if (!latestExpire || expire > *latestExpire) {
            latestExpire = expire;
            company[Expire].setText(expire);
            company[Mod] = Value(mod);
        }
        const int issueYear = std::stoi(issue.substr(0, 4));
        if (!m_newYork && (!latestIssueYear || issueYear > *latestIssueYear)) {
            latestIssueYear = issueYear;
            company[Issue1] = Value(issueYear);
        }
    }
}

void CompanyWriter::write(const Rows& rows)
{
    const std::vector<Value>& company = rows.company;
    m_changes.noteCompany(company[File].text(), company[Sequence].text());
    m_trend.company(company[File].text(), company[Sequence].text());
    for (int k = 0; k < rows.modCount; ++k) {
        const std::vector<Value>& mod = rows.mods[static_cast<std::size_t>(k)];
        m_mods->add(mod);
        m_changes.noteMod(mod[3].text(), mod[4].text());
        m_trend.mod(mod[3].text(), mod[4].text(), mod[5].toDouble());
    }
    m_companies->add(company);
}

std::vector<std::string> CompanyWriter::primeFieldNames()
{
    return primeColumns();
}

} // namespace kora
