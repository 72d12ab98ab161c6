#include "loading/DataLoader.h"

#include "base/Blanks.h"
#include "base/Dates.h"
#include "base/FieldName.h"
#include "base/StateRules.h"
#include "database/Transaction.h"
#include "loading/DeferredIndexes.h"
#include "loading/LoadChanges.h"
#include "loading/LoadError.h"
#include "loading/UpdateFile.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace kora {

namespace {

constexpr int kCompanyBatch = 300;
constexpr int kClassBatch = 1000;
constexpr int kAddressBatch = 300;
constexpr const char* kPlaceholderDate = "1950-01-01";

// The status text of a load with its running total, shown at the start and
// after every whole batch of pieces read; the last partial batch is not added.
class BatchProgress
{
public:
    BatchProgress(LoadProgress& progress, std::string text, int batch)
        : m_progress(progress), m_text(std::move(text)), m_batch(batch)
    {
        show();
    }

    void pieceRead()
    {
        if (++m_count < m_batch)
            return;
        m_count = 0;
        m_total += m_batch;
        show();
    }

private:
    void show() { m_progress.status(m_text + std::to_string(m_total)); }

    LoadProgress& m_progress;
    std::string m_text;
    int m_batch;
    int m_count = 0;
    long long m_total = 0;
};

// A number written in digits, with blanks around it allowed.
std::optional<long long> digitsValue(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A six-digit date of an update file (YYMMDD, or MMDDYY when not year first)
// as stored; a date that cannot be read is the placeholder 1950-01-01.
std::string updateDate(std::string_view digits, bool yearFirst)
{
    const std::string year(digits.substr(yearFirst ? 0 : 4, 2));
    const std::string monthDay(digits.substr(yearFirst ? 2 : 0, 4));
    const std::string date =
        Dates::fromMonthDayYear(monthDay.substr(0, 2) + "/" + monthDay.substr(2, 2) + "/" + year);
    return date.empty() ? kPlaceholderDate : date;
}

// A New York file number: three pieces of the record joined by single blanks.
std::string newYorkFile(const UpdateFile& file, const RecordField (&pieces)[3])
{
    return std::string(file.field(pieces[0])) + ' ' + std::string(file.field(pieces[1])) + ' ' +
           std::string(file.field(pieces[2]));
}

// A code list read once into memory (county names, class descriptions), so
// that the records need no query each. Codes match without regard to case,
// as in the tables.
class CodeTable
{
public:
    CodeTable(Database& db, const std::string& sql)
    {
        Statement rows = db.prepare(sql);
        while (rows.step())
            m_names.emplace(foldFieldName(rows.column(0).toString()), rows.column(1).toString());
    }

    // The name listed for a code, or nothing.
    const std::string* find(std::string_view code) const
    {
        const auto found = m_names.find(foldFieldName(std::string(code)));
        return found == m_names.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<std::string, std::string> m_names;
};

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

constexpr PrimeField kPrimeFields[PrimeColumnCount] = {
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

// One statement stores a company: a new row, or, when the company appeared
// earlier in the file, the earlier row changed field by field as the Merge
// rules say.
std::string companyStatement()
{
    std::string names;
    std::string values;
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
        names += (names.empty() ? "" : ", ") + column;
        values += (values.empty() ? "?" : ", ?") + std::to_string(index + 1);
        changes += (changes.empty() ? "" : ", ") + column + " = " + merged;
    }
    return "INSERT INTO PRIME (" + names + ") VALUES (" + values +
           ") ON CONFLICT (\"FILE\", \"SEQUENCE\") DO UPDATE SET " + changes;
}

// The standard slot test reads the effective month, the New York one the issue month.
bool slotHoldsMod(const UpdateFile& file, int slot, bool newYork)
{
    using namespace CompanyRecord;
    if (newYork)
        return file.field(slotField(slot, {kSlotIssue.position, 2})) > std::string_view("  ");
    const auto month = digitsValue(file.field(slotField(slot, {kSlotEffective.position + 2, 2})));
    return month && *month > 0;
}

// Stores the records of a company file as PRIME and MODS rows.
class CompanyWriter
{
public:
    CompanyWriter(Database& db, LoadChanges& changes, bool newYork, bool newJersey)
        : m_changes(changes), m_newYork(newYork), m_newJersey(newJersey),
          m_counties(db, "SELECT CODE, COUNTY FROM COUNTY"),
          m_company(db.prepare(companyStatement())),
          m_mod(db.prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, [MOD]) "
                           "VALUES (?, ?, ?, ?, ?, ?)"))
    {
    }

    void store(const UpdateFile& file)
    {
        using namespace CompanyRecord;
        // Fields not bound stay empty (no value).
        m_company.reset();
        auto put = [this, &file](PrimeColumn column, RecordField field) {
            m_company.bindText(column + 1, file.field(field));
        };
        const std::string fileNumber =
            m_newYork ? newYorkFile(file, kNyFile) : std::string(file.field(kFile));
        const std::string sequence(file.field(m_newYork ? kNySequence : kSequence));
        put(State, kState);
        m_company.bindText(File + 1, fileNumber);
        m_company.bindText(Sequence + 1, sequence);
        m_company.bindText(FileSeq + 1, fileNumber + sequence);
        m_changes.noteCompany(fileNumber, sequence);
        put(Name1, m_newYork ? kNyName1 : kName1);
        put(NameSort, m_newYork ? kNyName1 : kName1);
        if (m_newYork)
            m_company.bindText(Name2 + 1, " ");
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
            m_company.bindText(CountyName + 1, *countyName);
            m_company.bindText(CountySort + 1, *countyName);
        }
        put(Employees, kEmployees);
        put(Sales, kSales);
        m_company.bind(Associates + 1, file.field(kAssociates) == "Y");
        for (PrimeColumn column : {User1, User2, User3, Omit})
            m_company.bindText(column + 1, " ");
        if (m_newYork) {
            m_company.bind(Revised + 1, file.field(kNyRevised) == "R");
            m_company.bind(Interstate + 1, file.field(kNyInterstate) == "I");
        }
        if (m_newJersey) {
            put(Conditional, kConditional);
            put(ArEstPrem, kArEstPrem);
            put(ArTotPrem, kArTotPrem);
            put(ArTotLoss, kArTotLoss);
            put(NjPpap, kNjPpap);
            put(NjCcpap, kNjCcpap);
            const auto year = digitsValue(file.field(kNjArYear));
            const auto month = digitsValue(file.field(kNjArMonth));
            if (year && month)
                m_company.bind(NjAr + 1, static_cast<double>(*year * 100 + *month));
        }
        storeMods(file, fileNumber, sequence);
        m_company.run();
    }

private:
    // Adds a MODS row per filled slot and binds the company's EXPIRE and MOD
    // (first latest expiration) and, outside New York, ISSUE1 (latest issue year).
    void storeMods(const UpdateFile& file, const std::string& fileNumber,
                   const std::string& sequence)
    {
        using namespace CompanyRecord;
        std::optional<std::string> latestExpire;
        std::optional<int> latestIssueYear;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (!slotHoldsMod(file, slot, m_newYork))
                continue;
            const auto digits = digitsValue(file.field(slotField(slot, kSlotMod)));
            if (!digits)
                continue;
            // Divided, not multiplied by 0.001, so that 9886 is exactly the number 9.886.
            const double mod = static_cast<double>(*digits) / 1000.0;
            const std::string issue =
                updateDate(file.field(slotField(slot, kSlotIssue)), !m_newYork);
            const std::string expire =
                updateDate(file.field(slotField(slot, kSlotExpire)), !m_newYork);
            const std::string effective =
                updateDate(file.field(slotField(slot, kSlotEffective)), true);
            m_mod.reset();
            m_mod.bindText(1, fileNumber)
                .bindText(2, sequence)
                .bindText(3, issue)
                .bindText(4, effective)
                .bindText(5, expire)
                .bind(6, mod)
                .run();
            m_changes.noteMod(fileNumber, sequence, effective, expire);
            if (!latestExpire || expire > *latestExpire) {
                latestExpire = expire;
                m_company.bindText(Expire + 1, expire);
                m_company.bind(Mod + 1, mod);
            }
            const int issueYear = std::stoi(issue.substr(0, 4));
            if (!m_newYork && (!latestIssueYear || issueYear > *latestIssueYear)) {
                latestIssueYear = issueYear;
                m_company.bind(Issue1 + 1, issueYear);
            }
        }
    }

    LoadChanges& m_changes;
    bool m_newYork;
    bool m_newJersey;
    CodeTable m_counties;
    Statement m_company;
    Statement m_mod;
};

// Replaces a table of codes and their descriptions with the records of the file.
void loadCodeList(Database& db, UpdateFile& file, const std::string& table,
                  const std::string& columns, RecordField code, RecordField description)
{
    db.execute("DELETE * FROM " + table);
    Statement insert = db.prepare("INSERT INTO " + table + " (" + columns + ") VALUES (?, ?)");
    while (file.next()) {
        if (file.record() <= std::string_view(" !"))
            continue;
        insert.reset();
        insert.bindText(1, file.field(code)).bindText(2, file.field(description)).run();
    }
}

} // namespace

DataLoader::DataLoader(Database& db, std::filesystem::path programFolder, std::string state,
                       LoadProgress& progress)
    : m_db(db), m_folder(std::move(programFolder)), m_state(std::move(state)), m_progress(progress)
{
}

std::string DataLoader::companyFileName(const std::string& state)
{
    return "DATA" + state + ".DAT";
}

std::string DataLoader::classFileName(const std::string& state)
{
    return "DATA1" + state + ".DAT";
}

std::string DataLoader::countyFileName(const std::string& state)
{
    return "CTY" + state + ".DAT";
}

void DataLoader::runLoad(const std::string& fileName, int recordLength,
                         const std::function<void(UpdateFile&)>& load)
{
    const std::filesystem::path path = m_folder / fileName;
    try {
        UpdateFile file(path.string(), recordLength);
        Transaction transaction(m_db);
        load(file);
        transaction.commit();
    } catch (const std::exception& failure) {
        throw LoadError(fileName, failure.what());
    }
    std::error_code error;
    if (!std::filesystem::remove(path, error))
        throw LoadError(fileName, "the data is loaded, but the file cannot be deleted (" +
                                      error.message() + ")");
}

void DataLoader::NEWDATASTD()
{
    runLoad(companyFileName(m_state), CompanyRecord::kLength,
            [this](UpdateFile& file) { loadCompanies(file, false); });
}

void DataLoader::NEWDATANY()
{
    runLoad(companyFileName("NY"), CompanyRecord::kLength,
            [this](UpdateFile& file) { loadCompanies(file, true); });
}

void DataLoader::loadCompanies(UpdateFile& file, bool newYork)
{
    LoadChanges changes(m_db);
    DeferredIndexes indexes(m_db, {"PRIME", "MODS"});
    m_db.execute("DELETE * FROM PRIME");
    m_db.execute("DELETE * FROM MODS");
    CompanyWriter writer(m_db, changes, newYork, !newYork && StateRules::hasAssignedRisk(m_state));
    BatchProgress progress(m_progress, "TOTAL COMPANIES ADDED IS ", kCompanyBatch);
    while (file.next()) {
        if (file.record() > std::string_view("!"))
            writer.store(file);
        progress.pieceRead();
    }
    // Every company gets a notes row holding one blank; notes already written stay.
    m_db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, SEQUENCE, ' ' FROM PRIME "
                 "WHERE 1 ON CONFLICT DO NOTHING");
    indexes.rebuild();
    changes.record();
}

void DataLoader::NEWCLASSLISTSTD()
{
    runLoad(kClassListFileName, ClassListRecord::kLength, [this](UpdateFile& file) {
        loadCodeList(m_db, file, "CLASSLIST", "CLASS, [DESC]", ClassListRecord::kClass,
                     ClassListRecord::kDesc);
    });
}

void DataLoader::NEWCLASSSTD()
{
    runLoad(classFileName(m_state), ClassRecord::kLength,
            [this](UpdateFile& file) { loadClasses(file, false); });
}

void DataLoader::NEWCLASSNY()
{
    runLoad(classFileName("NY"), ClassRecord::kLength,
            [this](UpdateFile& file) { loadClasses(file, true); });
}

void DataLoader::loadClasses(UpdateFile& file, bool newYork)
{
    using namespace ClassRecord;
    DeferredIndexes indexes(m_db, {"CLASS"});
    m_db.execute("DELETE * FROM CLASS");
    // A company and class seen before is changed only when its loss cost differs;
    // a loss cost that cannot be read never replaces the one stored.
    Statement store = m_db.prepare(
        "INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, LOSSCOST) "
        "VALUES (?1, ?2, ?1 || ?2, ?3, ?4, ?5) "
        "ON CONFLICT (FILE, SEQUENCE, CLASS) DO UPDATE SET FILE = excluded.FILE, "
        "SEQUENCE = excluded.SEQUENCE, FILESEQ = excluded.FILESEQ, CLASS = excluded.CLASS, "
        "CLASSDESC = COALESCE(excluded.CLASSDESC, CLASS.CLASSDESC), "
        "LOSSCOST = excluded.LOSSCOST WHERE excluded.LOSSCOST IS NOT NULL AND "
        "CLASS.LOSSCOST IS NOT excluded.LOSSCOST");
    const CodeTable descriptions(m_db, "SELECT CLASS, [DESC] FROM CLASSLIST");
    BatchProgress progress(m_progress, "TOTAL CLASSES ADDED IS ", kClassBatch);
    while (file.next()) {
        if (file.record() > std::string_view(" !")) {
            const auto digits = digitsValue(file.field(newYork ? kNyLossCost : kLossCost));
            store.reset();
            if (newYork)
                store.bindText(1, newYorkFile(file, kNyFile));
            else
                store.bindText(1, file.field(kFile));
            store.bindText(2, file.field(newYork ? kNySequence : kSequence));
            store.bindText(3, file.field(kClass));
            if (const std::string* description = descriptions.find(file.field(kClass)))
                store.bindText(4, *description);
            // Divided, not multiplied by 0.01, so that the stored number is exact.
            if (digits)
                store.bind(5, static_cast<double>(*digits) / 100.0);
            store.run();
        }
        progress.pieceRead();
    }
    indexes.rebuild();
}

void DataLoader::NEWCOUNTYSTD()
{
    runLoad(countyFileName(m_state), CountyRecord::kLength, [this](UpdateFile& file) {
        loadCodeList(m_db, file, "COUNTY", "CODE, COUNTY", CountyRecord::kCode,
                     CountyRecord::kName);
    });
}

void DataLoader::NEWSICSTD()
{
    runLoad(kSicFileName, SicRecord::kLength, [this](UpdateFile& file) {
        m_db.execute("DELETE * FROM SICCODES");
        Statement insert = m_db.prepare("INSERT INTO SICCODES (CODE, [DESC]) VALUES (?, ?)");
        while (file.next()) {
            const std::string_view code = trimBlanks(file.field(SicRecord::kCode));
            // A major group of two digits stands for its codes: 15 is stored as 1500.
            const std::string stored =
                code.size() == 2 ? std::string(code) + "00" : std::string(code);
            if (stored.size() != 4)
                continue;
            insert.reset();
            insert.bindText(1, stored).bindText(2, file.field(SicRecord::kDesc)).run();
        }
    });
}

void DataLoader::NEWADDRESSESNY()
{
    runLoad(kAddressFileName, AddressRecord::kLength, [this](UpdateFile& file) {
        using namespace AddressRecord;
        m_db.execute("DELETE * FROM ADDRESSES");
        // A company's address may continue in a later record: its lines are appended.
        Statement store = m_db.prepare(
            "INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, ?, ?) "
            "ON CONFLICT (FILE, SEQUENCE) DO UPDATE SET ADDRESSES = "
            "NULLIF(COALESCE(ADDRESSES.ADDRESSES, '') || COALESCE(excluded.ADDRESSES, ''), '')");
        BatchProgress progress(m_progress, "TOTAL OTHER INFORMATION ADDED IS ", kAddressBatch);
        while (file.next()) {
            if (file.record() > std::string_view(" !")) {
                std::string lines;
                for (int k = 0; k < kLineCount; ++k) {
                    const std::string_view line = file.field(AddressRecord::line(k));
                    // A line counts when anything after its first place is printable,
                    // so "1 MAIN ST" is kept and a lone letter before blanks is not.
                    const bool printable = std::any_of(line.begin() + 1, line.end(), [](char c) {
                        const auto byte = static_cast<unsigned char>(c);
                        return byte > ' ' && byte != 0x7f;
                    });
                    if (printable)
                        lines.append(line).append("\r\n");
                }
                store.reset();
                store.bindText(1, newYorkFile(file, kFile)).bindText(2, file.field(kSequence));
                // A record without lines leaves the text empty (no value).
                if (!lines.empty())
                    store.bindText(3, lines);
                store.run();
            }
            progress.pieceRead();
        }
    });
}

} // namespace kora
