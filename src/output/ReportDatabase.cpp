#include "output/ReportDatabase.h"

#include "base/FieldName.h"
#include "base/Folders.h"
#include "base/StateCodes.h"
#include "database/Schema.h"

#include <filesystem>
#include <set>
#include <stdexcept>

namespace kora {

namespace fs = std::filesystem;

std::string ReportDatabase::scratchPath()
{
    const std::string folder = Folders::temporaryFolder();
    return folder.empty() ? std::string() : folder + std::string(kReportDatabaseName);
}

Database ReportDatabase::openScratch(const std::string& programFolder)
{
    const std::string target = scratchPath();
    if (target.empty())
        throw std::runtime_error("There is no temporary folder.");
    const std::string templatePath =
        Folders::withSeparator(programFolder) + std::string(kReportDatabaseName);
    std::error_code error;
    // A journal left by an earlier run would be played back into the fresh copy.
    fs::remove(target + "-wal", error);
    fs::remove(target + "-shm", error);
    if (!fs::copy_file(templatePath, target, fs::copy_options::overwrite_existing, error))
        throw std::runtime_error("Cannot copy " + templatePath + " to " + target + ": " +
                                 error.message());
    Database scratch(target, "");
    addMissingColumns(scratch);
    return scratch;
}

void ReportDatabase::addMissingColumns(Database& scratch)
{
    // The template of an older release lacks the columns added since.
    for (const Schema::Table& table : Schema::reportTables()) {
        std::set<std::string> present;
        Statement columns = scratch.prepare("PRAGMA table_info(" + table.name + ")");
        while (columns.step())
            present.insert(foldFieldName(columns.column(1).toString()));
        for (const Schema::Field& field : table.fields)
            if (!present.count(foldFieldName(field.name)))
                scratch.execute("ALTER TABLE " + table.name + " ADD COLUMN " + field.name);
    }
}

} // namespace kora
