#include "output/PrintRun.h"

#include "base/Folders.h"
#include "base/StateRules.h"
#include "output/ExpirationOrder.h"
#include "output/PdfFile.h"
#include "output/ReportDatabase.h"

namespace kora {

PrintRun::PrintRun(std::string programFolder, std::string state)
    : m_folder(Folders::withSeparator(programFolder)), m_state(std::move(state))
{
}

void PrintRun::openScratch()
{
    m_scratch.close();
    try {
        m_scratch = ReportDatabase::openScratch(m_folder);
    } catch (const std::exception& error) {
        throw ScratchMissing(error.what());
    }
}

long long PrintRun::fillLookup(Database& stateDb, const std::string& sourceSql,
                               const ReportFill::Progress& progress)
{
    openScratch();
    ReportFill fill(stateDb, m_scratch, m_state, ReportFill::Run::Lookup);
    return fill.fillFrom(sourceSql, progress);
}

bool PrintRun::fillRecord(Database& stateDb, const std::string& file, const std::string& sequence)
{
    openScratch();
    ReportFill fill(stateDb, m_scratch, m_state, ReportFill::Run::Record);
    return fill.fillCompany(file, sequence);
}

std::string PrintRun::reportFileName(Format format, const std::string& state)
{
    switch (format) {
    case Format::Detail:
        return StateRules::isNewYork(state) ? "KRPRTANY.RPT" : "KRPRTALL.RPT";
    case Format::Summary:
        return "KRPRTSUM.RPT";
    case Format::LaserLabels:
        return "KRLABELL.RPT";
    case Format::DotLabels:
        break;
    }
    return "KRLABELS.RPT";
}

std::string PrintRun::sortField(Sort sort)
{
    switch (sort) {
    case Sort::Zip:
        return "{PRIME.ZIP}";
    case Sort::Expiration:
    case Sort::Renewal:
        return "{PRIME.EXPIRE}";
    case Sort::Name:
        break;
    }
    return "{PRIME.NAME1}";
}

ReportRenderer PrintRun::open(Format format)
{
    const std::string name = reportFileName(format, m_state);
    try {
        ReportRenderer report(ReportDefinition::load(m_folder + name), m_scratch);
        report.setTables(format == Format::Detail);
        return report;
    } catch (const ReportDefinition::ParseError&) {
        throw ReportMissing("The Report File (" + name + ") Is Missing or Not Loading");
    }
}

ReportRenderer PrintRun::openLookupReport(Format format, const std::string& searchName, Sort sort)
{
    ReportRenderer report = open(format);
    if (format == Format::Detail || format == Format::Summary) {
        report.setFormula("SEARCHNAME", "\"" + searchName + "\"");
        report.setFormula("STATE", "\"" + m_state + "\"");
    }
    if (sort == Sort::Renewal)
        report.addSortTerms(ExpirationOrder::renewalTerms("PRIME.EXPIRE"));
    else
        report.addSortField(sortField(sort), 1);
    return report;
}

ReportRenderer PrintRun::openRecordReport()
{
    ReportRenderer report = open(Format::Detail);
    report.setFormula("SEARCHNAME", "\"Print Record\"");
    report.setFormula("STATE", "\"" + m_state + "\"");
    return report;
}

int PrintRun::writePdf(ReportRenderer& report, const std::string& path)
{
    int pages = 0;
    PdfFile::write(path, 1200, [&](QPagedPaintDevice& device) { pages = report.render(device); });
    return pages;
}

} // namespace kora
