#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kora {

class Database;

// The values of the fields that take one of a few codes: the employee and
// sales bands and the merit classes of the state database's tables, and the
// kinds of change of the latest company load. The lookup editor offers them
// in a drop-down; a criterion stores the code itself.
class CodedValues
{
public:
    struct Code
    {
        std::string code;  // as a criterion stores it
        std::string label; // as the drop-down shows it
    };

    static bool isCoded(int position);
    // The code and description of each row a statement on a code table
    // selects, in its order. Throws DbError when the statement fails or has
    // no such column.
    static std::vector<std::pair<std::string, std::string>>
    readTable(Database& db, const std::string& sql, const std::string& codeField,
              const std::string& descriptionField);
    // The codes of a field in the order of their table; none for a field that
    // is not coded. Throws DbError when the table cannot be read.
    static std::vector<Code> read(Database& db, int position);
    // The code a typed text stands for: the code it equals apart from the case
    // of letters and blanks around it; the text as typed when it equals none.
    static std::string proper(const std::vector<Code>& codes, const std::string& typed);
};

} // namespace kora
