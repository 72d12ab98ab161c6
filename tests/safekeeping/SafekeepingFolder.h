#pragma once

#include "base/Dates.h"
#include "database/Schema.h"
#include "demo/DemoData.h"
#include "loading/RecordedProgress.h"
#include "loading/UpdateRun.h"
#include "results/FollowUps.h"
#include "support/StateDatabase.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kora::test {

// A program folder with the PA state database and its backup database, for
// backing up, restoring and merging user notes and fields.
class SafekeepingFolder : public StateDatabase
{
public:
    using Key = std::pair<std::string, std::string>;
    using Fields = std::initializer_list<std::pair<const char*, Value>>;

    explicit SafekeepingFolder(const std::string& state = "PA", Engine engine = Engine::File)
        : StateDatabase(state, engine)
    {
        Schema::createBackupDatabase(backupPath());
    }

    // The folder, not the database in it.
    const std::string& path() const { return folder().path(); }
    std::string statePath() const { return StateDatabase::path(); }
    std::string backupPath() const { return folder().file("BACKUPPA.MDB"); }

    // Loads demo update files of that many companies, as a delivery would.
    void load(long long companies)
    {
        RecordedProgress quiet;
        DemoData("PA", companies, Dates::today()).writeUpdateFiles(path());
        UpdateRun::run(db(), path(), "PA", quiet);
    }
    // Replaces the state database with a new, empty one (as an upgrade does).
    void replaceStateDatabase()
    {
        db().close();
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(statePath() + suffix);
        Schema::createStateDatabase(statePath(), kConnect, "PA");
        db().open(statePath(), kConnect);
    }
    // The key of the n-th company in file order, from 0.
    Key company(int n)
    {
        Statement query = db().prepare(
            "SELECT FILE, SEQUENCE FROM PRIME ORDER BY FILE, SEQUENCE LIMIT 1 OFFSET ?");
        query.bind(1, n);
        if (!query.step())
            throw std::runtime_error("no company " + std::to_string(n));
        return {query.column(0).toString(), query.column(1).toString()};
    }

    void setNote(const Key& key, const Value& note)
    {
        db().prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")
            .bindAll({note, key.first, key.second})
            .run();
    }
    void setFields(const Key& key, Fields fields)
    {
        for (const auto& [name, value] : fields)
            db().prepare(std::string("UPDATE PRIME SET ") + name +
                         " = ? WHERE FILE = ? AND SEQUENCE = ?")
                .bindAll({value, key.first, key.second})
                .run();
    }
    Value note(const Key& key)
    {
        return value("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?",
                     {key.first, key.second});
    }
    void setFollowUp(const Key& key, const std::optional<FollowUp>& followUp)
    {
        FollowUps(db()).store(key.first, key.second, followUp);
    }
    // "DUE|TEXT" of the company's follow-up, "(none)" without one.
    std::string followUp(const Key& key)
    {
        const auto followUp = FollowUps(db()).of(key.first, key.second);
        return followUp ? followUp->due + "|" + followUp->text : "(none)";
    }
    // The named columns of the company's row, "|" between them, NULL for no value.
    std::string fields(const Key& key, const std::string& names)
    {
        Statement query =
            db().prepare("SELECT " + names + " FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
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
};

} // namespace kora::test
