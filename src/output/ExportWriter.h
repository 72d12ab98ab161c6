#pragma once

#include "database/Database.h"
#include "output/ExportChoice.h"
#include "output/ExportProgress.h"

#include <string>

namespace kora {

// Writes the companies of a result to an export file in one of the layouts.
class ExportWriter
{
public:
    enum class Outcome
    {
        Exported,
        TooMuchData // more than a tenth of the state: no file is opened
    };

    struct Result
    {
        Outcome outcome = Outcome::Exported;
        long long exported = 0; // companies written (Omit "Y" not counted)
    };

    static constexpr const char* kTooMuchData = "YOU ARE EXPORTING TOO MUCH DATA";
    static constexpr const char* kNoSystemDirectory = "KREXPORT CMD1 CANNOT FIND SYSTEM DIRECTORY!";

    // stateDb: the open state database of the state code; programFolder: where
    // the REPORT.MDB template is; sheetTitle: the workbook's sheet name.
    ExportWriter(Database& stateDb, std::string state, std::string programFolder);

    // Whether the result of source holds more than a tenth of the state's
    // companies: such a result is refused before any file is asked for.
    bool tooMuchData(const std::string& source);

    // source: the result's statement, with its ORDER BY when it has one. A
    // refused result opens no file; otherwise the file at outputPath is
    // replaced only when the export is complete. Throws ExportError with the
    // message to show when the file cannot be made.
    Result run(const std::string& source, const ExportChoice& choice, const std::string& outputPath,
               const std::string& sheetTitle, ExportProgress& progress);

    // The statement of the export set for the name and zip sorts: the source
    // cut after its last "ORDER BY" and the character after it, then
    // " NAMESORT" or " ZIP"; a source without "ORDER BY" is kept as it is.
    static std::string sortedSource(const std::string& source, ExportSort sort);

private:
    long long count(const std::string& sql);
    long long companiesOf(const std::string& source);
    bool overATenth(long long companies);

    Database& m_db;
    std::string m_state;
    std::string m_programFolder;
};

} // namespace kora
