#pragma once

#include "database/Database.h"
#include "database/Value.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kora {

class ForwardCursor;

// Fills the scratch report database with one denormalised PRIME row and one
// CLASS row per printed company: the user's contacts in place of the loaded
// ones, the newest 20 mods, the first 21 classes, the band and SIC texts, the
// note and the New Jersey and New York fields.
class ReportFill
{
public:
    // Lookup: the print of a lookup's companies (Omit "Y" left out, the sort
    // key EXPIRE computed, mods ordered by issue too, New York without
    // EFFECTIVEn). Record: the printout of one company, whatever its mark.
    enum class Run
    {
        Lookup,
        Record
    };

    // Companies included so far, reported after each one.
    using Progress = std::function<void(long long)>;

    ReportFill(Database& stateDb, Database& scratch, std::string state, Run run);

    // Fills the rows of every company the statement selects on PRIME, committing
    // every 500 companies and once at the end; returns the number included.
    long long fillFrom(const std::string& sourceSql, const Progress& progress = {});
    // Fills the rows of one company; false when there is no such company.
    bool fillCompany(const std::string& file, const std::string& sequence);

    // Transactions committed on the scratch database so far.
    int commits() const { return m_commits; }

    static constexpr int kMods = 20;
    static constexpr int kClasses = 21;
    static constexpr int kCommitEvery = 500;

private:
    void addCompany(const ForwardCursor& company);
    void fillMods(const Value& file, const Value& sequence);
    void fillClasses(const Value& file, const Value& sequence);
    Value lookUp(Statement& query, const Value& first, const Value& second = {});
    void set(const std::string& name, const Value& value);
    void commit();

    Database& m_stateDb;
    Database& m_scratch;
    std::string m_state;
    Run m_run;
    Statement m_mods;
    Statement m_classes;
    Statement m_employees;
    Statement m_sic;
    Statement m_sales;
    Statement m_notes;
    Statement m_followUp;
    std::optional<Statement> m_addresses; // New York only
    std::vector<std::string> m_primeColumns;
    std::map<std::string, int> m_primeIndex;
    std::vector<Value> m_prime;
    std::vector<Value> m_class;
    Statement m_insertPrime;
    Statement m_insertClass;
    int m_commits = 0;
};

} // namespace kora
