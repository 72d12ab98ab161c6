#include "database/DataLoader.h"

#include "database/Dates.h"
#include "database/DeferredIndexes.h"
#include "database/FieldName.h"
#include "database/LoadError.h"
#include "database/UpdateFile.h"

#include <algorithm>
#include <array>
#include <optional>

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

Value text(std::string_view slice)
{
    return Value(std::string(slice));
}

// A number written in digits, with blanks around it allowed.
std::optional<long long> digitsValue(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
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
// rules say. County names come from COUNTY; an unknown code leaves them as
// they were.
std::string companyStatement()
{
    std::string names;
    std::string values;
    std::string changes;
    auto add = [&](const std::string& name, const std::string& value, Merge merge) {
        const std::string column = quoteIdentifier(name);
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
        values += (values.empty() ? "" : ", ") + value;
        changes += (changes.empty() ? "" : ", ") + column + " = " + merged;
    };
    for (int column = 0; column < PrimeColumnCount; ++column)
        add(kPrimeFields[column].name, "?" + std::to_string(column + 1),
            kPrimeFields[column].merge);
    const std::string countyName =
        "(SELECT \"COUNTY\" FROM \"COUNTY\" WHERE \"CODE\" = ?" + std::to_string(County + 1) + ")";
    add("COUNTYNAME", countyName, Merge::KeepWhenMissing);
    add("CountySort", countyName, Merge::KeepWhenMissing);
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

// Stores the records of a company file: PRIME rows, MODS rows, NOTES rows.
class CompanyWriter
{
public:
    CompanyWriter(Database& db, bool newYork, bool newJersey)
        : m_newYork(newYork), m_newJersey(newJersey), m_company(db.prepare(companyStatement())),
          m_mod(db.prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, [MOD]) "
                           "VALUES (?, ?, ?, ?, ?, ?)")),
          m_note(db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, ?, ' ') "
                            "ON CONFLICT DO NOTHING"))
    {
    }

    void store(const UpdateFile& file)
    {
        using namespace CompanyRecord;
        std::array<Value, PrimeColumnCount> row;
        const std::string fileNumber =
            m_newYork ? newYorkFile(file, kNyFile) : std::string(file.field(kFile));
        const std::string sequence(file.field(m_newYork ? kNySequence : kSequence));
        row[State] = text(file.field(kState));
        row[File] = fileNumber;
        row[Sequence] = sequence;
        row[FileSeq] = fileNumber + sequence;
        row[Name1] = row[NameSort] = text(file.field(m_newYork ? kNyName1 : kName1));
        row[Name2] = m_newYork ? Value(" ") : text(file.field(kName2));
        row[Street] = text(file.field(m_newYork ? kNyStreet : kStreet));
        row[City] = text(file.field(kCity));
        row[St] = text(file.field(kSt));
        row[Zip] = text(file.field(kZip));
        row[ZipExt] = text(file.field(kZipExt));
        row[Phone] = text(file.field(kPhone));
        row[Area] = text(file.field(kArea));
        row[Fax] = text(file.field(kFax));
        row[Contact] = text(file.field(kContact));
        row[Title] = text(file.field(kTitle));
        row[Sic] = text(file.field(kSic));
        row[County] = text(file.field(kCounty));
        row[Employees] = text(file.field(kEmployees));
        row[Sales] = text(file.field(kSales));
        row[Associates] = file.field(kAssociates) == "Y";
        row[User1] = row[User2] = row[User3] = row[Omit] = " ";
        if (m_newYork) {
            row[Revised] = file.field(kNyRevised) == "R";
            row[Interstate] = file.field(kNyInterstate) == "I";
        }
        if (m_newJersey) {
            row[Conditional] = text(file.field(kConditional));
            row[ArEstPrem] = text(file.field(kArEstPrem));
            row[ArTotPrem] = text(file.field(kArTotPrem));
            row[ArTotLoss] = text(file.field(kArTotLoss));
            row[NjPpap] = text(file.field(kNjPpap));
            row[NjCcpap] = text(file.field(kNjCcpap));
            const auto year = digitsValue(file.field(kNjArYear));
            const auto month = digitsValue(file.field(kNjArMonth));
            if (year && month)
                row[NjAr] = static_cast<double>(*year * 100 + *month);
        }
        storeMods(file, fileNumber, sequence, row);

        m_note.reset();
        m_note.bind(1, fileNumber).bind(2, sequence).run();
        m_company.reset();
        for (int column = 0; column < PrimeColumnCount; ++column)
            m_company.bind(column + 1, row[column]);
        m_company.run();
    }

private:
    // Adds a MODS row per filled slot and sets the company's EXPIRE and MOD
    // (first latest expiration) and, outside New York, ISSUE1 (latest issue year).
    void storeMods(const UpdateFile& file, const std::string& fileNumber,
                   const std::string& sequence, std::array<Value, PrimeColumnCount>& row)
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
            m_mod.reset();
            m_mod.bind(1, fileNumber)
                .bind(2, sequence)
                .bind(3, issue)
                .bind(4, updateDate(file.field(slotField(slot, kSlotEffective)), true))
                .bind(5, expire)
                .bind(6, mod)
                .run();
            if (!latestExpire || expire > *latestExpire) {
                latestExpire = expire;
                row[Expire] = expire;
                row[Mod] = mod;
            }
            const int issueYear = std::stoi(issue.substr(0, 4));
            if (!m_newYork && (!latestIssueYear || issueYear > *latestIssueYear)) {
                latestIssueYear = issueYear;
                row[Issue1] = issueYear;
            }
        }
    }

    bool m_newYork;
    bool m_newJersey;
    Statement m_company;
    Statement m_mod;
    Statement m_note;
};

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
    DeferredIndexes indexes(m_db, {"PRIME", "MODS"});
    m_db.execute("DELETE * FROM PRIME");
    m_db.execute("DELETE * FROM MODS");
    CompanyWriter writer(m_db, newYork, !newYork && m_state == "NJ");
    BatchProgress progress(m_progress, "TOTAL COMPANIES ADDED IS ", kCompanyBatch);
    while (file.next()) {
        if (file.record() > std::string_view("!"))
            writer.store(file);
        progress.pieceRead();
    }
    indexes.rebuild();
}

void DataLoader::NEWCLASSLISTSTD()
{
    runLoad(kClassListFileName, ClassListRecord::kLength, [this](UpdateFile& file) {
        m_db.execute("DELETE * FROM CLASSLIST");
        Statement insert = m_db.prepare("INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES (?, ?)");
        while (file.next()) {
            if (file.record() <= std::string_view(" !"))
                continue;
            insert.reset();
            insert.bind(1, text(file.field(ClassListRecord::kClass)))
                .bind(2, text(file.field(ClassListRecord::kDesc)))
                .run();
        }
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
    // A company and class seen before is changed only when its loss cost differs.
    Statement store = m_db.prepare(
        "INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, LOSSCOST) "
        "VALUES (?1, ?2, ?1 || ?2, ?3, (SELECT [DESC] FROM CLASSLIST WHERE CLASS = ?3), ?4) "
        "ON CONFLICT (FILE, SEQUENCE, CLASS) DO UPDATE SET FILE = excluded.FILE, "
        "SEQUENCE = excluded.SEQUENCE, FILESEQ = excluded.FILESEQ, CLASS = excluded.CLASS, "
        "CLASSDESC = COALESCE(excluded.CLASSDESC, CLASS.CLASSDESC), "
        "LOSSCOST = excluded.LOSSCOST WHERE CLASS.LOSSCOST IS NOT excluded.LOSSCOST");
    BatchProgress progress(m_progress, "TOTAL CLASSES ADDED IS ", kClassBatch);
    while (file.next()) {
        if (file.record() > std::string_view(" !")) {
            const auto digits = digitsValue(file.field(newYork ? kNyLossCost : kLossCost));
            store.reset();
            store.bind(1, newYork ? newYorkFile(file, kNyFile) : std::string(file.field(kFile)))
                .bind(2, text(file.field(newYork ? kNySequence : kSequence)))
                .bind(3, text(file.field(kClass)))
                // Divided, not multiplied by 0.01, so that the stored number is exact.
                .bind(4, digits ? Value(static_cast<double>(*digits) / 100.0) : Value())
                .run();
        }
        progress.pieceRead();
    }
    indexes.rebuild();
}

void DataLoader::NEWCOUNTYSTD()
{
    runLoad(countyFileName(m_state), CountyRecord::kLength, [this](UpdateFile& file) {
        m_db.execute("DELETE * FROM COUNTY");
        Statement insert = m_db.prepare("INSERT INTO COUNTY (CODE, COUNTY) VALUES (?, ?)");
        while (file.next()) {
            if (file.record() <= std::string_view(" !"))
                continue;
            insert.reset();
            insert.bind(1, text(file.field(CountyRecord::kCode)))
                .bind(2, text(file.field(CountyRecord::kName)))
                .run();
        }
    });
}

void DataLoader::NEWSICSTD()
{
    runLoad(kSicFileName, SicRecord::kLength, [this](UpdateFile& file) {
        m_db.execute("DELETE * FROM SICCODES");
        Statement insert = m_db.prepare("INSERT INTO SICCODES (CODE, [DESC]) VALUES (?, ?)");
        while (file.next()) {
            std::string_view code = file.field(SicRecord::kCode);
            code.remove_prefix(std::min(code.find_first_not_of(' '), code.size()));
            code.remove_suffix(code.size() - (code.find_last_not_of(' ') + 1));
            // A major group of two digits stands for its codes: 15 is stored as 1500.
            const std::string stored =
                code.size() == 2 ? std::string(code) + "00" : std::string(code);
            if (stored.size() != 4)
                continue;
            insert.reset();
            insert.bind(1, stored).bind(2, text(file.field(SicRecord::kDesc))).run();
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
                store.bind(1, newYorkFile(file, kFile))
                    .bind(2, text(file.field(kSequence)))
                    .bind(3, lines.empty() ? Value() : Value(lines))
                    .run();
            }
            progress.pieceRead();
        }
    });
}

} // namespace kora
