#include "SafekeepingFolder.h"

#include "base/Dates.h"
#include "database/Schema.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kora::test {

namespace {

struct QuietProgress : LoadProgress
{
    void status(const std::string&) override {}
};

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

std::pair<std::string, std::string> SafekeepingFolder::company(int n)
{
    Statement query =
        m_db.prepare("SELECT FILE, SEQUENCE FROM PRIME ORDER BY FILE, SEQUENCE LIMIT 1 OFFSET ?");
    query.bind(1, n);
    if (!query.step())
        throw std::runtime_error("no company " + std::to_string(n));
    return {query.column(0).toString(), query.column(1).toString()};
}

void SafekeepingFolder::setNote(const std::pair<std::string, std::string>& key, const Value& note)
{
    m_db.prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")
        .bindAll({note, key.first, key.second})
        .run();
}

void SafekeepingFolder::setFields(const std::pair<std::string, std::string>& key, Fields fields)
{
    for (const auto& [name, value] : fields)
        m_db.prepare(std::string("UPDATE PRIME SET ") + name +
                     " = ? WHERE FILE = ? AND SEQUENCE = ?")
            .bindAll({value, key.first, key.second})
            .run();
}

Value SafekeepingFolder::note(const std::pair<std::string, std::string>& key)
{
    Statement query = m_db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
    query.bindAll({key.first, key.second});
    return query.step() ? query.column(0) : Value("(no row)");
}

Value SafekeepingFolder::field(const std::pair<std::string, std::string>& key,
                               const std::string& name)
{
    Statement query =
        m_db.prepare("SELECT " + name + " FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
    query.bindAll({key.first, key.second});
    return query.step() ? query.column(0) : Value("(no row)");
}

std::vector<std::string> SafekeepingFolder::backupRows(const std::string& table)
{
    Database backup(backupPath(), "");
    Statement query = backup.prepare("SELECT * FROM " + table + " ORDER BY FILE, SEQUENCE");
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

std::string SafekeepingFolder::bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace kora::test
