#pragma once

#include "base/Dates.h"
#include "database/Schema.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "support/StateDatabase.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kora::test {

// A program folder with the PA state database and its backup database, for
// backing up, restoring and merging user notes and fields.
class SafekeepingFolder
{
public:
    static constexpr const char* kConnect = ";PWD=keep";
    using Key = std::pair<std::string, std::string>;
    using Fields = std::initializer_list<std::pair<const char*, Value>>;

    SafekeepingFolder()
    {
        Schema::createStateDatabase(statePath(), kConnect, "PA");
        Schema::createBackupDatabase(backupPath());
        m_db.open(statePath(), kConnect);
    }

    const std::string& path() const { return m_folder.path(); }
    std::string statePath() const { return m_folder.file("KORAPA.MDB"); }
    std::string backupPath() const { return m_folder.file("BACKUPPA.MDB"); }
    Database& db() { return m_db; }

    // Loads demo update files of that many companies, as a delivery would.
    void load(long long companies)
    {
        struct : LoadProgress
        {
            void status(const std::string&) override {}
        } quiet;
        DemoData("PA", companies, Dates::today()).writeUpdateFiles(path());
        UpdateRun::run(m_db, path(), "PA", quiet);
    }
    // Replaces the state database with a new, empty one (as an upgrade does).
    void replaceStateDatabase()
    {
        m_db.close();
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(statePath() + suffix);
        Schema::createStateDatabase(statePath(), kConnect, "PA");
        m_db.open(statePath(), kConnect);
    }
    // The key of the n-th company in file order, from 0.
    Key company(int n)
    {
        Statement query = m_db.prepare(
            "SELECT FILE, SEQUENCE FROM PRIME ORDER BY FILE, SEQUENCE LIMIT 1 OFFSET ?");
        query.bind(1, n);
        if (!query.step())
            throw std::runtime_error("no company " + std::to_string(n));
        return {query.column(0).toString(), query.column(1).toString()};
    }

    void setNote(const Key& key, const Value& note)
    {
        m_db.prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")
            .bindAll({note, key.first, key.second})
            .run();
    }
    void setFields(const Key& key, Fields fields)
    {
        for (const auto& [name, value] : fields)
            m_db.prepare(std::string("UPDATE PRIME SET ") + name +
                         " = ? WHERE FILE = ? AND SEQUENCE = ?")
                .bindAll({value, key.first, key.second})
                .run();
    }
    Value note(const Key& key)
    {
        Statement query = m_db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
        query.bindAll({key.first, key.second});
        return query.step() ? query.column(0) : Value("(no row)");
    }
    // The named columns of the company's row, "|" between them, NULL for no value.
    std::string fields(const Key& key, const std::string& names)
    {
        Statement query =
            m_db.prepare("SELECT " + names + " FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
        query.bindAll({key.first, key.second});
        const std::vector<std::string> rows = queryRows(query, "NULL");
        return rows.empty() ? "(no row)" : rows[0];
    }
    // Every row of a backup table as "FILE|SEQUENCE|value|...", in key order
    // (VERSION: its one row).
    std::vector<std::string> backupRows(const std::string& table)
    {
        Database backup(backupPath(), "");
        return queryRows(backup,
                         "SELECT * FROM " + table +
                             (table == "VERSION" ? "" : " ORDER BY FILE, SEQUENCE"),
                         "NULL");
    }

private:
    TempFolder m_folder;
    Database m_db;
};

} // namespace kora::test
