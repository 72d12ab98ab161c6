#pragma once

#include "database/Database.h"
#include "support/TempFolder.h"

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

    SafekeepingFolder();

    const std::string& path() const { return m_folder.path(); }
    std::string statePath() const { return m_folder.file("KORAPA.MDB"); }
    std::string backupPath() const { return m_folder.file("BACKUPPA.MDB"); }
    Database& db() { return m_db; }

    // Loads demo update files of that many companies, as a delivery would.
    void load(long long companies);
    // Replaces the state database with a new, empty one (as an upgrade does).
    void replaceStateDatabase();
    // The key of the n-th company in file order, from 0.
    Key company(int n);

    void setNote(const Key& key, const Value& note);
    void setFields(const Key& key, Fields fields);
    Value note(const Key& key);
    // The named columns of the company's row, "|" between them, NULL for no value.
    std::string fields(const Key& key, const std::string& names);
    // Every row of a backup table as "FILE|SEQUENCE|value|...", in key order
    // (VERSION: its one value).
    std::vector<std::string> backupRows(const std::string& table);
    // The whole file, byte for byte.
    static std::string bytes(const std::string& path);

private:
    TempFolder m_folder;
    Database m_db;
};

} // namespace kora::test
