#include "output/ExportWriter.h"

#include "base/StateRules.h"
#include "output/ExpirationOrder.h"
#include "output/ExportCompanyReader.h"
#include "output/ExportError.h"
#include "output/ExportLine.h"
#include "output/MappedReads.h"
#include "output/ReportDatabase.h"
#include "output/ScratchOutput.h"
#include "output/SourceRow.h"
#include "output/WorkbookExport.h"

#include <memory>
#include <optional>

namespace kora {

namespace {

const std::string kOrderBy = "ORDER BY";

// Where the statement's own order begins. It is the last "ORDER BY": one in a
// criterion's value, such as a name range from "ORDER BY", comes before it.
std::string::size_type outerOrderAt(const std::string& source)
{
    return source.rfind(kOrderBy);
}

} // namespace

ExportWriter::ExportWriter(Database& stateDb, std::string state, std::string programFolder)
    : m_db(stateDb), m_state(std::move(state)), m_programFolder(std::move(programFolder))
{
}

std::string ExportWriter::sortedSource(const std::string& source, ExportSort sort)
{
    const auto position = outerOrderAt(source);
    if (position == std::string::npos || sort == ExportSort::Expiration ||
        sort == ExportSort::Renewal)
        return source;
    return source.substr(0, position + kOrderBy.size() + 1) +
           (sort == ExportSort::Name ? " NAMESORT" : " ZIP");
}

long long ExportWriter::count(const std::string& sql)
{
    Statement query = m_db.prepare(sql);
    return query.step() ? query.column(0).toInteger() : 0;
}

long long ExportWriter::companiesOf(const std::string& source)
{
    // Counted without the order: SQLite would otherwise sort every whole row first.
    return count("SELECT COUNT(*) FROM (" + source.substr(0, outerOrderAt(source)) + ")");
}

bool ExportWriter::overATenth(long long companies)
{
    // The state's companies are counted only as far as the rule needs: once
    // ten times the result's are counted, the result is not over a tenth. A
    // server then reads a part of an index, not the whole of it.
    const long long counted = count("SELECT COUNT(*) FROM (SELECT 1 FROM PRIME LIMIT " +
                                    std::to_string(companies * 10) + ")");
    return static_cast<double>(companies) > static_cast<double>(counted) * 0.1;
}

bool ExportWriter::tooMuchData(const std::string& source)
{
    return overATenth(companiesOf(source));
}

ExportWriter::Result ExportWriter::run(const std::string& source, const ExportChoice& choice,
                                       const std::string& outputPath, const std::string& sheetTitle,
                                       ExportProgress& progress)
{
    const MappedReads mapped(m_db);
    const long long companies = companiesOf(source);
    if (overATenth(companies))
        return {Outcome::TooMuchData, 0};
    ScratchOutput output(outputPath);
    progress.starting(companies);
    const auto orderAt = outerOrderAt(source);

    const bool newJersey = StateRules::hasAssignedRisk(m_state);
    const bool byExpiration =
        choice.sort == ExportSort::Expiration || choice.sort == ExportSort::Renewal;
    const bool throughScratch = byExpiration && orderAt != std::string::npos;
    Database scratch;
    if (throughScratch) {
        try {
            scratch = ReportDatabase::openScratch(m_programFolder);
        } catch (const std::exception&) {
            throw ExportError(kNoSystemDirectory);
        }
        ExpirationOrder::fill(m_db, source.substr(0, orderAt), scratch, newJersey, choice.sort,
                              progress);
    }
    Database& setDb = throughScratch ? scratch : m_db;
    Statement rows = setDb.prepare(throughScratch ? ExpirationOrder::orderedRows(choice.sort)
                                                  : sortedSource(source, choice.sort));
    const SourceRow row(rows);
    ExportCompanyReader reader(m_db, choice, newJersey);

    std::unique_ptr<WorkbookExport> workbook;
    if (choice.layout == ExportLayout::Workbook) {
        output.closeForOtherWriter();
        workbook = std::make_unique<WorkbookExport>(output.scratchPath(), outputPath, sheetTitle,
                                                    choice, newJersey);
    } else if (choice.layout != ExportLayout::Fixed) {
        output.write(
            ExportLine::delimited(ExportLine::headerNames(choice, newJersey), choice.layout));
    }

    const auto writeBatch = [&] {
        for (const ExportCompany& company : reader.take()) {
            if (workbook)
                workbook->add(company);
            else if (choice.layout == ExportLayout::Fixed)
                output.write(ExportLine::fixed(company));
            else
                output.write(ExportLine::delimited(ExportLine::delimitedValues(company, choice),
                                                   choice.layout));
        }
    };
    Result result;
    while (rows.step()) {
        if (row.text("Omit") == "Y")
            continue;
        progress.counted(++result.exported);
        reader.add(row, throughScratch);
        if (reader.full())
            writeBatch();
    }
    writeBatch();
    if (workbook)
        workbook->close();
    output.commit();
    return result;
}

} // namespace kora
