#include "loading/DataLoader.h"

#include "base/Blanks.h"
#include "base/StateRules.h"
#include "database/Schema.h"
#include "database/Transaction.h"
#include "loading/CodeTable.h"
#include "loading/CompanyFileCheck.h"
#include "loading/CompanyWriter.h"
#include "loading/LoadChanges.h"
#include "loading/LoadError.h"
#include "loading/ModTrendWriter.h"
#include "loading/ReadAhead.h"
#include "loading/RecordValues.h"
#include "loading/ReplacedTables.h"
#include "loading/UpdateFile.h"

#include <algorithm>

namespace kora {

namespace {

constexpr int kCompanyBatch = 300;
constexpr int kClassBatch = 1000;
constexpr int kAddressBatch = 300;

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
        insert.bindText(1, file.field(code)).bindText(2, file.field(description)).send();
    }
}

// Whether the data of this very file was committed and the file not deleted since.
bool wasLoaded(Database& db, const std::string& fileName, const std::string& identity)
{
    if (!db.tableExists(Schema::loadedFilesTable().name))
        return false;
    Statement loaded = db.prepare("SELECT 1 FROM LOADEDFILES WHERE NAME = ? AND IDENTITY = ?");
    loaded.bindText(1, fileName).bindText(2, identity);
    return loaded.step();
}

void markLoaded(Database& db, const std::string& fileName, const std::string& identity)
{
    Schema::createIfMissing(db, Schema::loadedFilesTable());
    Statement mark =
        db.prepare("INSERT OR REPLACE INTO LOADEDFILES (NAME, IDENTITY) VALUES (?, ?)");
    mark.bindText(1, fileName).bindText(2, identity).run();
}

void forgetLoaded(Database& db, const std::string& fileName)
{
    Statement forget = db.prepare("DELETE FROM LOADEDFILES WHERE NAME = ?");
    forget.bindText(1, fileName).run();
}

} // namespace

DataLoader::DataLoader(Database& db, std::filesystem::path programFolder, std::string state,
                       LoadProgress& progress)
    : m_db(db), m_folder(std::move(programFolder)), m_state(std::move(state)), m_progress(progress)
{
}

DataLoader::LoadSizing::LoadSizing(Database& db) : db(db)
{
    db.sizeFor(WorkSizing::LoadRows);
}

DataLoader::LoadSizing::~LoadSizing()
{
    // The memory is taken back when the connection closes at the latest.
    try {
        db.sizeFor(WorkSizing::Ordinary);
    } catch (const std::exception&) {
    }
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
                         const std::function<void(UpdateFile&)>& load,
                         const std::function<void(UpdateFile&)>& check)
{
    const std::filesystem::path path = m_folder / fileName;
    try {
        // Held until the file is deleted, so that no other update loads it again.
        UpdateFile file(path.string(), recordLength);
        if (!wasLoaded(m_db, fileName, file.identity())) {
            if (check)
                check(file);
            Transaction transaction(m_db);
            load(file);
            markLoaded(m_db, fileName, file.identity());
            transaction.commit();
            if (file.incompleteTail() != 0)
                m_notices.push_back(fileName + ": an incomplete record of " +
                                    std::to_string(file.incompleteTail()) +
                                    " bytes at the end was skipped");
        }
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error)
            throw std::runtime_error("the data is loaded, but the file cannot be deleted (" +
                                     error.message() + ")");
        forgetLoaded(m_db, fileName);
    } catch (const std::exception& failure) {
        throw LoadError(fileName, failure.what());
    }
}

void DataLoader::loadCompanies()
{
    const std::string fileName = companyFileName(m_state);
    runLoad(
        fileName, CompanyRecord::kLength, [this](UpdateFile& file) { writeCompanies(file, false); },
        [this, &fileName](UpdateFile& file) { checkCompanies(file, fileName, false); });
}

void DataLoader::loadNewYorkCompanies()
{
    const std::string fileName = companyFileName("NY");
    runLoad(
        fileName, CompanyRecord::kLength, [this](UpdateFile& file) { writeCompanies(file, true); },
        [this, &fileName](UpdateFile& file) { checkCompanies(file, fileName, true); });
}

void DataLoader::checkCompanies(UpdateFile& file, const std::string& fileName, bool newYork)
{
    const CompanyFileCheck check(file, newYork);
    const std::string first = std::to_string(check.firstOutOfLayout());
    if (check.isJunk())
        throw std::runtime_error(
            "it is not a company file: " + std::to_string(check.recordsOutOfLayout()) + " of its " +
            std::to_string(check.usedRecords()) +
            " records do not fit the layout, the first is record " + first);
    Statement count = m_db.prepare("SELECT COUNT(*) FROM PRIME");
    count.step();
    const long long before = count.column(0).toInteger();
    const long long removed = before - check.companies();
    if (removed * 2 > before) {
        const std::string loss = std::to_string(removed) + " of the " + std::to_string(before) +
                                 " companies of " + m_state;
        if (!m_progress.agrees("Loading " + fileName + " removes " + loss + ": the file holds " +
                               std::to_string(check.companies()) + ". Load it?"))
            throw std::runtime_error("it would remove " + loss + ", and that was not agreed to");
    }
    if (check.recordsOutOfLayout() != 0)
        m_notices.push_back(fileName + ": " + std::to_string(check.recordsOutOfLayout()) +
                            " records do not fit the layout (the first is record " + first +
                            ") and were loaded as far as they could be read");
}

void DataLoader::writeCompanies(UpdateFile& file, bool newYork)
{
    // First, while nothing is changed: it reads the rows before the load.
    LoadChanges changes(m_db);
    // The load fills the trends of an older release's database too.
    Schema::createIfMissing(m_db, Schema::modTrendTable());
    ReplacedTables tables(m_db, {"PRIME", "MODS", "MODTREND"});
    ModTrendWriter trend(m_db);
    CompanyWriter writer(m_db, changes, trend, newYork,
                         !newYork && StateRules::hasAssignedRisk(m_state));
    BatchProgress progress(m_progress, "TOTAL COMPANIES ADDED IS ", kCompanyBatch);
    ReadAhead<CompanyWriter::Rows> records(file, [&writer](const UpdateFile& record, auto& rows) {
        return writer.convert(record, rows);
    });
    records.forEach([&writer](const CompanyWriter::Rows& rows) { writer.write(rows); },
                    [&progress] { progress.pieceRead(); });
    writer.finish();
    // Every company gets a notes row holding one blank; notes already written
    // stay. The companies that have one are passed over as a whole first (an
    // anti-join), not one conflict at a time; an agent's note written meanwhile
    // still meets the conflict clause.
    m_db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, SEQUENCE, ' ' FROM PRIME "
                 "WHERE NOT EXISTS (SELECT 1 FROM NOTES WHERE NOTES.FILE = PRIME.FILE AND "
                 "NOTES.SEQUENCE = PRIME.SEQUENCE) ON CONFLICT DO NOTHING");
    tables.rebuildIndexes();
    trend.finish();
    changes.record();
}

void DataLoader::loadClassList()
{
    runLoad(kClassListFileName, ClassListRecord::kLength, [this](UpdateFile& file) {
        loadCodeList(m_db, file, "CLASSLIST", "CLASS, [DESC]", ClassListRecord::kClass,
                     ClassListRecord::kDesc);
    });
}

void DataLoader::loadClasses()
{
    runLoad(classFileName(m_state), ClassRecord::kLength,
            [this](UpdateFile& file) { writeClasses(file, false); });
}

void DataLoader::loadNewYorkClasses()
{
    runLoad(classFileName("NY"), ClassRecord::kLength,
            [this](UpdateFile& file) { writeClasses(file, true); });
}

void DataLoader::writeClasses(UpdateFile& file, bool newYork)
{
    using namespace ClassRecord;
    ReplacedTables tables(m_db, {"CLASS"});
    // A company and class seen before is changed only when its loss cost differs;
    // a loss cost that cannot be read never replaces the one stored.
    const auto store = m_db.mergingRowWriter(
        "CLASS", {"FILE", "SEQUENCE", "FILESEQ", "CLASS", "CLASSDESC", "LOSSCOST"},
        {"FILE", "SEQUENCE", "CLASS"},
        "DO UPDATE SET FILE = excluded.FILE, SEQUENCE = excluded.SEQUENCE, "
        "FILESEQ = excluded.FILESEQ, CLASS = excluded.CLASS, "
        "CLASSDESC = COALESCE(excluded.CLASSDESC, CLASS.CLASSDESC), "
        "LOSSCOST = excluded.LOSSCOST WHERE excluded.LOSSCOST IS NOT NULL AND "
        "(CLASS.LOSSCOST IS NULL OR CLASS.LOSSCOST <> excluded.LOSSCOST)");
    const CodeTable descriptions(m_db, "SELECT CLASS, [DESC] FROM CLASSLIST");
    BatchProgress progress(m_progress, "TOTAL CLASSES ADDED IS ", kClassBatch);
    ReadAhead<std::vector<Value>> records(file, [&descriptions, newYork](const UpdateFile& record,
                                                                         std::vector<Value>& row) {
        if (record.record() <= std::string_view(" !"))
            return false;
        row.resize(6);
        const auto digits = RecordValues::digits(record.field(newYork ? kNyLossCost : kLossCost));
        if (newYork)
            row[0] = RecordValues::newYorkFile(record, kNyFile);
        else
            row[0].setText(record.field(kFile));
        row[1].setText(record.field(newYork ? kNySequence : kSequence));
        row[2].setText(row[0].text());
        row[2].appendText(row[1].text());
        row[3].setText(record.field(kClass));
        if (const std::string* description = descriptions.find(record.field(kClass)))
            row[4].setText(*description);
        else
            row[4] = Value();
        // Divided, not multiplied by 0.01, so that the stored number is exact.
        row[5] = digits ? Value(static_cast<double>(*digits) / 100.0) : Value();
        return true;
    });
    records.forEach([&store](const std::vector<Value>& row) { store->add(row); },
                    [&progress] { progress.pieceRead(); });
    store->finish();
    tables.rebuildIndexes();
}

void DataLoader::loadCounties()
{
    runLoad(countyFileName(m_state), CountyRecord::kLength, [this](UpdateFile& file) {
        loadCodeList(m_db, file, "COUNTY", "CODE, COUNTY", CountyRecord::kCode,
                     CountyRecord::kName);
    });
}

void DataLoader::loadSicCodes()
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
            insert.bindText(1, stored).bindText(2, file.field(SicRecord::kDesc)).send();
        }
    });
}

void DataLoader::loadNewYorkAddresses()
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
                store.bindText(1, RecordValues::newYorkFile(file, kFile))
                    .bindText(2, file.field(kSequence));
                // A record without lines leaves the text empty (no value).
                if (!lines.empty())
                    store.bindText(3, lines);
                store.send();
            }
            progress.pieceRead();
        }
    });
}

} // namespace kora
