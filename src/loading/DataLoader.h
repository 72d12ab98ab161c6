#pragma once

#include "database/Database.h"
#include "loading/LoadProgress.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kora {

class UpdateFile;

// The eight loads that refill a state database from the update files found by
// their bare names in the program folder. Each load runs in one transaction
// and deletes its file once the data is committed; a load that fails throws
// LoadError and leaves both the database and the file as they were. A file
// whose data was committed before a crash kept it from being deleted is
// deleted without loading it again.
class DataLoader
{
public:
    DataLoader(Database& db, std::filesystem::path programFolder, std::string state,
               LoadProgress& progress);

    static std::string companyFileName(const std::string& state);
    static std::string classFileName(const std::string& state);
    static std::string countyFileName(const std::string& state);
    static constexpr const char* kClassListFileName = "CLASSES.DAT";
    static constexpr const char* kSicFileName = "SIC.DAT";
    static constexpr const char* kAddressFileName = "DATA2NY.DAT";

    // Companies and their mods; New Jersey fields only for the state NJ.
    void loadCompanies();
    void loadNewYorkCompanies();
    void loadClassList();
    void loadClasses();
    void loadNewYorkClasses();
    void loadCounties();
    void loadSicCodes();
    void loadNewYorkAddresses();

    // What the loads so far found odd but loaded: records that do not fit
    // the layout, an incomplete record at the end of a file.
    const std::vector<std::string>& notices() const { return m_notices; }

private:
    // check reads the file before anything is changed and may refuse it.
    void runLoad(const std::string& fileName, int recordLength,
                 const std::function<void(UpdateFile&)>& load,
                 const std::function<void(UpdateFile&)>& check = nullptr);
    void checkCompanies(UpdateFile& file, const std::string& fileName, bool newYork);
    void writeCompanies(UpdateFile& file, bool newYork);
    void writeClasses(UpdateFile& file, bool newYork);

    Database& m_db;
    std::filesystem::path m_folder;
    std::string m_state;
    LoadProgress& m_progress;
    std::vector<std::string> m_notices;
    // Sized for the load for as long as the loader lives.
    struct LoadSizing
    {
        explicit LoadSizing(Database& db);
        ~LoadSizing();
        Database& db;
    } m_sizing{m_db};
};

} // namespace kora
