#include "base/Blanks.h"
#include "base/FieldName.h"
#include "batch/BatchCommands.h"
#include "batch/BatchLookup.h"
#include "batch/UsageError.h"
#include "database/Database.h"
#include "safekeeping/StateAcceptance.h"

#include <iostream>
#include <map>

namespace kora {

namespace {

// The result grid column each --sort sorts by.
GridColumn sortColumn(const std::string& sort)
{
    static const std::map<std::string, GridColumn> columns = {
        {"file", GridColumn::File}, {"name", GridColumn::Name}, {"expires", GridColumn::Expires}};
    const auto column = columns.find(sort);
    if (column == columns.end())
        throw UsageError("--sort must be file, name or expires, not " + sort);
    return column->second;
}

int columnOf(const Statement& rows, const std::string& name)
{
    for (int i = 0; i < rows.columnCount(); ++i)
        if (foldFieldName(rows.columnName(i)) == name)
            return i;
    throw std::runtime_error("The result has no field " + name + ".");
}

} // namespace

int runQuery(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state", "--lookup", "--sort"}, {});
    const GridColumn column = sortColumn(options.value("--sort", "name"));
    auto search = BatchLookup::setUp(options);
    if (!search)
        return 1;
    search->sortBy(column);

    Database db = StateAcceptance::openState(options.folder(), options.state());
    Statement rows = db.prepare(search->recordSource());
    const int file = columnOf(rows, "FILE");
    const int sequence = columnOf(rows, "SEQUENCE");
    const int name = columnOf(rows, "NAME1");
    while (rows.step()) {
        std::cout << rows.column(file).toString() << '\t' << rows.column(sequence).toString()
                  << '\t' << withoutTrailingBlanks(rows.column(name).toString()) << '\n';
    }
    return 0;
}

} // namespace kora
