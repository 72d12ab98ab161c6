#include "base/Folders.h"
#include "batch/BatchCommands.h"
#include "batch/BatchLookup.h"
#include "batch/UsageError.h"
#include "database/Database.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupStatement.h"
#include "output/ExportWriter.h"
#include "safekeeping/StateAcceptance.h"

#include <iostream>
#include <map>
#include <optional>

namespace kora {

namespace {

// The running count on standard error, one line per thousand companies.
class ErrorStreamProgress : public ExportProgress
{
public:
    void starting(long long companies) override
    {
        std::cerr << "Exporting information on " << companies << " companies" << std::endl;
    }
    void counted(long long count) override
    {
        if (count % 1000 == 0)
            std::cerr << count << std::endl;
    }
};

template <typename T>
T choose(const std::map<std::string, T>& choices, const std::string& option,
         const std::string& value, const std::string& allowed)
{
    const auto choice = choices.find(value);
    if (choice == choices.end())
        throw UsageError(option + " must be " + allowed + ", not " + value);
    return choice->second;
}

} // namespace

int runExport(const std::vector<std::string>& arguments)
{
    // --company takes two values, FILE and SEQUENCE.
    std::vector<std::string> rest;
    std::optional<std::pair<std::string, std::string>> company;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--company") {
            rest.push_back(arguments[i]);
            continue;
        }
        if (company || i + 2 >= arguments.size())
            throw UsageError("--company needs FILE and SEQUENCE");
        company.emplace(arguments[i + 1], arguments[i + 2]);
        i += 2;
    }
    const BatchOptions options(
        rest, {"--folder", "--state", "--lookup", "--layout", "--sort", "--out"}, {"--lower"});
    ExportChoice choice;
    choice.layout = choose<ExportLayout>({{"comma", ExportLayout::Comma},
                                          {"tab", ExportLayout::Tab},
                                          {"fixed", ExportLayout::Fixed},
                                          {"limited", ExportLayout::Limited},
                                          {"xlsx", ExportLayout::Workbook}},
                                         "--layout", options.required("--layout"),
                                         "comma, tab, fixed, limited or xlsx");
    choice.sort = choose<ExportSort>({{"name", ExportSort::Name},
                                      {"expire", ExportSort::Expiration},
                                      {"renewal", ExportSort::Renewal},
                                      {"zip", ExportSort::Zip}},
                                     "--sort", options.value("--sort", "name"),
                                     "name, expire, renewal or zip");
    choice.properCase = options.has("--lower");
    const std::string out = options.required("--out");
    if (company.has_value() == options.has("--lookup"))
        throw UsageError("give either --lookup FILE.KRD or --company FILE SEQUENCE");

    std::string source;
    std::string title = "Export Record";
    if (company) {
        source = LookupStatement::oneCompany(company->first, company->second).text();
    } else {
        auto search = BatchLookup::setUp(options);
        if (!search)
            return 1;
        search->sortBy(GridColumn::Name);
        source = search->recordSource();
        if (!search->criteria().empty())
            title = search->criteria().front().SQLDESC;
    }

    const std::string folder = Folders::withSeparator(options.folder());
    const std::string state = options.state();
    Database db = StateAcceptance::openState(folder, state);
    ErrorStreamProgress progress;
    const ExportWriter::Result result =
        ExportWriter(db, state, folder).run(source, choice, out, title, progress);
    if (result.outcome == ExportWriter::Outcome::TooMuchData) {
        std::cerr << ExportWriter::kTooMuchData << "\n";
        return 1;
    }
    std::cerr << result.exported << " companies exported\n";
    return 0;
}

} // namespace kora
