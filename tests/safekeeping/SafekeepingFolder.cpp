#include "SafekeepingFolder.h"

#include "base/Dates.h"
#include "database/Schema.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"

#include <filesystem>
#include <fstream>

namespace kora::test {

namespace {

struct QuietProgress : LoadProgress
{
    void status(const std::string&) override {}
};

// The rows of the query, each as its columns with "|" between them.
std::vector<std::string> rowsOf(Statement& query)
{
    std::vector<std::string> rows;
    while (query.step()) {
        std::string row;
        for (int column = 0; column < query.columnCount(); ++column)
            row += (column ? "|" : "") +
                   (query.column(column).isNull() ? "NULL" : query.column(column).toString());
        rows.push_back(row);
    }
    return rows;
}

} // namespace

SafekeepingFolder::SafekeepingFolder()
{
    Schema::createStateDatabase(statePath(), kConnect, "PA");
    Schema::createBackupDatabase(backupPath());
    m_db.open(statePath(), kConnect);
}

void SafekeepingFolder::load(long long companies)
{
    DemoData("PA", companies, Dates::today()).writeUpdateFiles(path());
    QuietProgress progress;
    UpdateRun::run(m_db, path(), "PA", progress);
}

void SafekeepingFolder::replaceStateDatabase()
{
    m_db.close();
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(statePath() + suffix);
    Schema::createStateDatabase(statePath(), kConnect, "PA");
    m_db.open(statePath(), kConnect);
}

SafekeepingFolder::Key SafekeepingFolder::company(int n)
{
    Statement query =
        m_db.prepare("SELECT FILE, SEQUENCE FROM PRIME ORDER BY FILE, SEQUENCE LIMIT 1 OFFSET ?");
    query.bind(1, n);
    if (!query.step())
        throw std::runtime_error("no company " + std::to_string(n));
    return {query.column(0).toString(), query.column(1).toString()};
}

void SafekeepingFolder::setNote(const Key& key, const Value& note)
{
    m_db.prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")
        .bindAll({note, key.first, key.second})
        .run();
}

void SafekeepingFolder::setFields(const Key& key, Fields fields)
{
    for (const auto& [name, value] : fields)
        m_db.prepare(std::string("UPDATE PRIME SET ") + name +
                     " = ? WHERE FILE = ? AND SEQUENCE = ?")
            .bindAll({value, key.first, key.second})
            .run();
}

Value SafekeepingFolder::note(const Key& key)
{
    Statement query = m_db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
    query.bindAll({key.first, key.second});
    return query.step() ? query.column(0) : Value("(no row)");
}

std::string SafekeepingFolder::fields(const Key& key, const std::string& names)
{
    Statement query =
        m_db.prepare("SELECT " + names + " FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
    query.bindAll({key.first, key.second});
    const std::vector<std::string> rows = rowsOf(query);
    return rows.empty() ? "(no row)" : rows[0];
}

std::vector<std::string> SafekeepingFolder::backupRows(const std::string& table)
{
    Database backup(backupPath(), "");
    Statement query = backup.prepare("SELECT * FROM " + table +
                                     (table == "VERSION" ? "" : " ORDER BY FILE, SEQUENCE"));
    return rowsOf(query);
}

std::string SafekeepingFolder::bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace kora::test
