#include "loading/UpdateRun.h"

#include "base/Dates.h"
#include "base/StateCodes.h"
#include "base/StateRules.h"
#include "database/Schema.h"
#include "database/TableRecordSet.h"
#include "database/Transaction.h"
#include "loading/LoadError.h"
#include "loading/ModTrendWriter.h"

namespace kora {

namespace {

// The length of an update file; a missing file counts as 0.
bool isPresent(const std::filesystem::path& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size != 0;
}

bool isCompanyLoad(const UpdateRun::Step& step)
{
    return step.load == &DataLoader::loadCompanies ||
           step.load == &DataLoader::loadNewYorkCompanies;
}

} // namespace

std::vector<UpdateRun::Step> UpdateRun::allSteps(const std::string& state)
{
    const bool newYork = StateRules::isNewYork(state);
    // The class list comes before the class data and the counties before the
    // companies: those loads copy descriptions and county names from them.
    std::vector<Step> order = {
        {"NEWSICSTD", DataLoader::kSicFileName, &DataLoader::loadSicCodes},
        {"NEWCLASSLISTSTD", DataLoader::kClassListFileName, &DataLoader::loadClassList},
        {"NEWCOUNTYSTD", DataLoader::countyFileName(state), &DataLoader::loadCounties},
        newYork
            ? Step{"NEWCLASSNY", DataLoader::classFileName(state), &DataLoader::loadNewYorkClasses}
            : Step{"NEWCLASSSTD", DataLoader::classFileName(state), &DataLoader::loadClasses},
        newYork
            ? Step{"NEWDATANY", DataLoader::companyFileName(state),
                   &DataLoader::loadNewYorkCompanies}
            : Step{"NEWDATASTD", DataLoader::companyFileName(state), &DataLoader::loadCompanies},
    };
    if (newYork)
        order.push_back(
            {"NEWADDRESSESNY", DataLoader::kAddressFileName, &DataLoader::loadNewYorkAddresses});
    return order;
}

std::vector<UpdateRun::Step> UpdateRun::steps(const std::filesystem::path& programFolder,
                                              const std::string& state)
{
    std::vector<Step> present;
    for (const Step& step : allSteps(state))
        if (isPresent(programFolder / step.fileName))
            present.push_back(step);
    return present;
}

std::vector<std::string> UpdateRun::unusableFiles(const std::filesystem::path& programFolder,
                                                  const std::string& state)
{
    std::vector<std::string> texts;
    for (const Step& step : allSteps(state)) {
        std::error_code error;
        const auto status = std::filesystem::status(programFolder / step.fileName, error);
        if (status.type() == std::filesystem::file_type::not_found)
            continue;
        if (std::filesystem::is_directory(status))
            texts.push_back(step.fileName +
                            " is a folder, not an update file: it cannot be loaded");
        else if (!std::filesystem::is_regular_file(status))
            texts.push_back(step.fileName + " is not a regular file: it cannot be loaded");
        else if (!isPresent(programFolder / step.fileName))
            texts.push_back(step.fileName + " is empty: there is nothing in it to load");
    }
    return texts;
}

bool UpdateRun::isPending(const std::filesystem::path& programFolder, const std::string& state)
{
    for (const Step& step : steps(programFolder, state))
        if (step.load != &DataLoader::loadNewYorkAddresses)
            return true;
    return false;
}

bool UpdateRun::isUpdateFileName(const std::string& name)
{
    for (auto code : kStateCodes)
        for (const Step& step : allSteps(std::string(code)))
            if (step.fileName == name)
                return true;
    return false;
}

std::vector<std::string> UpdateRun::run(Database& db, const std::filesystem::path& programFolder,
                                        const std::string& state, LoadProgress& progress)
{
    std::vector<std::string> notices = unusableFiles(programFolder, state);
    const std::vector<Step> present = steps(programFolder, state);
    if (present.empty())
        return notices;
    // The files' own locks keep two updates of one program folder apart; this
    // one keeps apart the updates of PCs with folders of their own that load
    // one state on a server.
    const auto lock = db.tryLockKey(std::string(kLockKey));
    if (!lock)
        throw LoadError(present.front().fileName, "another update of the state is running");
    DataLoader loader(db, programFolder, state, progress);
    for (const Step& step : present) {
        (loader.*step.load)();
        if (isCompanyLoad(step))
            rewriteVersion(db);
    }
    notices.insert(notices.end(), loader.notices().begin(), loader.notices().end());
    return notices;
}

void UpdateRun::addMissingTables(Database& db)
{
    // Readers come here too: when nothing is missing they take no write lock,
    // so a load or a backup running beside them never holds them up.
    if (db.tableExists(Schema::loadChangesTable().name) &&
        db.tableExists(Schema::modTrendTable().name) &&
        db.tableExists(Schema::followUpTable().name))
        return;
    Transaction transaction(db);
    Schema::createIfMissing(db, Schema::loadChangesTable());
    Schema::createIfMissing(db, Schema::followUpTable(), "NOTES");
    if (!db.tableExists(Schema::modTrendTable().name))
        ModTrendWriter::fill(db);
    transaction.commit();
}

void UpdateRun::rewriteVersion(Database& db)
{
    Transaction transaction(db);
    db.execute("DELETE * FROM VERSION");
    TableRecordSet version(db, "VERSION");
    version.addNew();
    version.setField("Dummy", "1");
    version.setField("Version", Dates::today());
    version.update();
    transaction.commit();
}

} // namespace kora
