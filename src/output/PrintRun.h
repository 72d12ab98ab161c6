#pragma once

#include "database/Database.h"
#include "output/ReportFill.h"
#include "output/ReportRenderer.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace kora {

// One print run without windows: the scratch database filled for a lookup or
// one company, then the report definition opened with its tables, formulas
// and sort field, ready for a printer, a preview or a PDF file.
class PrintRun
{
public:
    enum class Format
    {
        Detail,
        Summary,
        LaserLabels,
        DotLabels
    };
    // Expiration: by month and day of the newest mod's expiration, January
    // first; Renewal: the same from today's month and day on, then wrapped.
    enum class Sort
    {
        Name,
        Expiration,
        Renewal,
        Zip
    };

    // A report definition missing or unreadable; what() is the message to show.
    struct ReportMissing : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };
    // The scratch database could not be copied from its template or opened;
    // what() says why, the windows show their own message for it.
    struct ScratchMissing : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    PrintRun(std::string programFolder, std::string state);

    // Copies the template over the scratch database and fills it. Throws
    // ScratchMissing when the template cannot be copied or opened.
    long long fillLookup(Database& stateDb, const std::string& sourceSql,
                         const ReportFill::Progress& progress = {});
    // Fills the scratch database for one company, whatever its Omit mark;
    // throws ScratchMissing as fillLookup does.
    bool fillRecord(Database& stateDb, const std::string& file, const std::string& sequence);

    // KRPRTALL.RPT, KRPRTANY.RPT for New York, KRPRTSUM.RPT, KRLABELL.RPT, KRLABELS.RPT.
    static std::string reportFileName(Format format, const std::string& state);
    // "{PRIME.NAME1}", "{PRIME.EXPIRE}", "{PRIME.ZIP}"; the renewal order
    // sorts by expiration too, through sort terms of its own.
    static std::string sortField(Sort sort);

    // The report of a lookup: its title as SEARCHNAME (detail and summary), one sort field.
    ReportRenderer openLookupReport(Format format, const std::string& searchName, Sort sort);
    // The detail report of one company, "Print Record" as SEARCHNAME, no sort field.
    ReportRenderer openRecordReport();

    // Renders into a PDF file that replaces the old one only when complete
    // (see PdfFile); returns the number of pages.
    static int writePdf(ReportRenderer& report, const std::string& path);

private:
    ReportRenderer open(Format format);
    void openScratch();

    std::string m_folder;
    std::string m_state;
    Database m_scratch;
};

} // namespace kora
