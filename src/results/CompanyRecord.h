#pragma once

#include "database/Database.h"
#include "results/CompanyRow.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kora {

// What the record window reads and stores of one company of a state database:
// its PRIME row, the SIC description, its classes, the companies sharing its
// file number, and the user's changes to its fields.
class CompanyRecord
{
public:
    struct Associate
    {
        std::string file;
        std::string sequence;
        std::string name;
    };

    struct RatingClass
    {
        std::string code;
        std::string description;
        Value lossCost;
    };

    using FieldValues = std::vector<std::pair<std::string, Value>>;

    CompanyRecord(Database& db, std::string file, std::string sequence);

    // The company's row; none when it is no longer in the database.
    std::optional<CompanyRow> read() const;
    // DESC of the SICCODES row of a code; empty when there is none.
    std::string sicDescription(const Value& sic) const;
    // Every company of the file number, this one included, by sequence.
    std::vector<Associate> associates() const;
    // The company's rating classes by class code.
    std::vector<RatingClass> classes() const;
    // Stores the fields in the company's row and returns the row as stored;
    // none when the company is gone. Throws DbError when the store fails.
    std::optional<CompanyRow> store(const FieldValues& fields);

private:
    Database& m_db;
    std::string m_file;
    std::string m_sequence;
};

} // namespace kora
