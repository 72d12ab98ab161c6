#pragma once

#include "database/Database.h"

#include <string>

namespace kora {

// The scratch report database: the empty template REPORT.MDB of the program
// folder is copied over REPORT.MDB in the user's temporary folder, and the copy
// is filled for one print or export run. The template itself is never written.
class ReportDatabase
{
public:
    // The copy's path in the temporary folder; empty when there is no such folder.
    static std::string scratchPath();
    // Copies the template over the scratch copy and opens the copy. Throws
    // std::runtime_error when the temporary folder or the template is missing
    // or the copy cannot be made; callers show their own message for it.
    static Database openScratch(const std::string& programFolder);

private:
    static void addMissingColumns(Database& scratch);
};

} // namespace kora
