#include "base/Folders.h"
#include "batch/BatchCommands.h"
#include "batch/BatchLookup.h"
#include "batch/BatchOptions.h"
#include "batch/UsageError.h"
#include "database/Database.h"
#include "output/PrintRun.h"
#include "safekeeping/StateAcceptance.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <map>

namespace kora {

namespace {

PrintRun::Format formatOf(const std::string& name)
{
    static const std::map<std::string, PrintRun::Format> formats = {
        {"detail", PrintRun::Format::Detail},
        {"summary", PrintRun::Format::Summary},
        {"laser", PrintRun::Format::LaserLabels},
        {"dot", PrintRun::Format::DotLabels}};
    const auto format = formats.find(name);
    if (format == formats.end())
        throw UsageError("--format must be detail, summary, laser or dot, not " + name);
    return format->second;
}

PrintRun::Sort sortOf(const std::string& name)
{
    static const std::map<std::string, PrintRun::Sort> sorts = {
        {"name", PrintRun::Sort::Name},
        {"expire", PrintRun::Sort::Expiration},
        {"renewal", PrintRun::Sort::Renewal},
        {"zip", PrintRun::Sort::Zip}};
    const auto sort = sorts.find(name);
    if (sort == sorts.end())
        throw UsageError("--sort must be name, expire, renewal or zip, not " + name);
    return sort->second;
}

// A whole number of an option within its bounds; the fallback when it is not given.
int numberOf(const BatchOptions& options, const std::string& name, int fallback, int least,
             int most)
{
    if (!options.has(name))
        return fallback;
    const std::string text = options.value(name);
    size_t used = 0;
    int number = 0;
    try {
        number = std::stoi(text, &used);
    } catch (const std::exception&) {
    }
    if (used == 0 || used != text.size() || number < least || number > most)
        throw UsageError(name + " must be a whole number from " + std::to_string(least) + " to " +
                         std::to_string(most) + ", not " + text);
    return number;
}

LabelSheet labelSheetOf(const BatchOptions& options, PrintRun::Format format)
{
    LabelSheet sheet;
    const int most = 4 * LabelSheet::kStepsPerInch;
    sheet.firstLabel = numberOf(options, "--first-label", 1, 1, LabelSheet::kMostLabels);
    sheet.across = numberOf(options, "--offset-across", 0, -most, most);
    sheet.down = numberOf(options, "--offset-down", 0, -most, most);
    sheet.testSheet = options.has("--test-sheet");
    const bool labels =
        format == PrintRun::Format::LaserLabels || format == PrintRun::Format::DotLabels;
    for (const char* name : {"--first-label", "--offset-across", "--offset-down", "--test-sheet"})
        if (!labels && options.has(name))
            throw UsageError(std::string(name) + " is for --format laser or dot");
    return sheet;
}

} // namespace

int runPrint(const std::vector<std::string>& arguments)
{
    std::vector<std::string> rest;
    std::string file;
    std::string sequence;
    bool company = false;
    // --company takes two values, FILE and SEQUENCE.
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--company") {
            if (i + 2 >= arguments.size())
                throw UsageError("--company needs FILE and SEQUENCE");
            file = arguments[i + 1];
            sequence = arguments[i + 2];
            company = true;
            i += 2;
        } else {
            rest.push_back(arguments[i]);
        }
    }
    const BatchOptions options(rest,
                               {"--folder", "--state", "--lookup", "--format", "--sort", "--pdf",
                                "--first-label", "--offset-across", "--offset-down"},
                               {"--test-sheet"});
    const PrintRun::Format format = formatOf(options.required("--format"));
    const PrintRun::Sort sort = sortOf(options.value("--sort", "name"));
    const std::string pdf = options.required("--pdf");
    const LabelSheet sheet = labelSheetOf(options, format);
    if (sheet.testSheet && (company || options.has("--lookup")))
        throw UsageError("--test-sheet prints no companies: leave out --lookup and --company");
    if (!sheet.testSheet && company == options.has("--lookup"))
        throw UsageError("give either --lookup FILE.KRD or --company FILE SEQUENCE");

    // Fonts and the PDF writer need a GUI application, not a screen.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "kora-batch";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    const std::string folder = Folders::withSeparator(options.folder());
    const std::string state = options.state();
    if (sheet.testSheet) {
        PrintRun run(folder, state);
        ReportRenderer report = run.openLookupReport(format, std::string(), sort);
        report.setLabelSheet(sheet);
        PrintRun::writePdf(report, pdf);
        return 0;
    }
    Database db = StateAcceptance::openState(folder, state);
    PrintRun run(folder, state);
    if (company) {
        if (!run.fillRecord(db, file, sequence))
            throw std::runtime_error("There is no company " + file + " " + sequence + ".");
        ReportRenderer report = run.openRecordReport();
        PrintRun::writePdf(report, pdf);
        return 0;
    }
    auto search = BatchLookup::setUp(options);
    if (!search)
        return 1;
    search->sortBy(GridColumn::Name);
    const long long count = search->recordCount(db);
    std::cerr << "Gathering information on " << count << " companies\n";
    run.fillLookup(db, search->recordSource());
    ReportRenderer report = run.openLookupReport(
        format, search->criteria().empty() ? std::string() : search->criteria()[0].SQLDESC, sort);
    report.setLabelSheet(sheet);
    PrintRun::writePdf(report, pdf);
    return 0;
}

} // namespace kora
