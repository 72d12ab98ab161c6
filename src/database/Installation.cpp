#include "database/Installation.h"

#include "base/AtomicFile.h"
#include "base/EmbeddedResources.h"
#include "base/Folders.h"
#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/DbError.h"
#include "database/Schema.h"
#include "database/TableRecordSet.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>

namespace kora {

namespace fs = std::filesystem;

namespace {

// Makes one file through a scratch name, so a failure leaves no half-made file.
void makeFile(const std::string& path, bool replace,
              const std::function<void(const std::string&)>& make)
{
    std::error_code error;
    if (fs::exists(path, error) && !replace)
        return;
    // The journal of a database file being replaced would otherwise be played
    // back into the new file at its first opening.
    fs::remove(path + "-wal", error);
    fs::remove(path + "-shm", error);
    try {
        AtomicFile::replace(path, make);
    } catch (const std::exception& failure) {
        throw std::runtime_error("Cannot create " + path + ": " + failure.what());
    }
}

} // namespace

Installation::Installation(std::string programFolder)
    : m_folder(Folders::withSeparator(std::move(programFolder)))
{
}

std::string Installation::file(const std::string& name) const
{
    return m_folder + name;
}

void Installation::create(bool replaceExisting)
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (!fs::is_directory(m_folder, error))
        throw std::runtime_error("Cannot create the folder " + m_folder);

    const std::string setupPath = file(std::string(kSetupDatabaseName));
    makeFile(setupPath, replaceExisting, [](const std::string& path) {
        Schema::createSetupDatabase(path);
        Database setup(path, std::string(kSetupConnect));
        Statement insert = setup.prepare("INSERT INTO Setup (State, pwd) VALUES (?, ?)");
        for (auto state : kStateCodes) {
            insert.reset();
            insert.bind(1, std::string(state)).bind(2, stateConnectOf(std::string(state))).run();
        }
    });

    for (auto code : kStateCodes) {
        const std::string state(code);
        const std::string connect = stateConnect(state);
        makeFile(file(stateDatabaseName(state)), replaceExisting, [&](const std::string& path) {
            Schema::createStateDatabase(path, connect, state);
        });
        makeFile(file(backupDatabaseName(state)), replaceExisting,
                 [](const std::string& path) { Schema::createBackupDatabase(path); });
    }

    makeFile(file(std::string(kReportDatabaseName)), replaceExisting,
             [](const std::string& path) { Schema::createReportDatabase(path); });

    for (const std::string& name : EmbeddedResources::names()) {
        makeFile(file(name), replaceExisting, [&](const std::string& path) {
            const auto content = EmbeddedResources::find(name);
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(content->data(), static_cast<std::streamsize>(content->size()));
            if (!out.flush())
                throw std::runtime_error("write failed");
        });
    }

    fs::create_directory(file("INITIAL"), error);
    if (!fs::is_directory(file("INITIAL"), error))
        throw std::runtime_error("Cannot create the workspace " + file("INITIAL"));
}

std::string Installation::stateConnect(const std::string& state) const
{
    return stateConnectIn(file(std::string(kSetupDatabaseName)), state);
}

std::string Installation::stateConnectIn(const std::string& setupPath, const std::string& state)
{
    Database setup(setupPath, std::string(kSetupConnect));
    TableRecordSet table(setup, "Setup");
    table.setIndex("Key");
    table.seek("=", {Value(state)});
    if (table.noMatch())
        throw DbError("The setup database has no entry for " + state + ".",
                      DbError::Kind::NotFound);
    return table.field("pwd").toString();
}

void Installation::setStateConnectIn(const std::string& setupPath, const std::string& state,
                                     const std::string& connect)
{
    Database setup(setupPath, std::string(kSetupConnect));
    Statement update = setup.prepare("UPDATE Setup SET pwd = ? WHERE State = ?");
    update.bind(1, connect).bind(2, state);
    if (update.run() != 1)
        throw DbError("The setup database has no entry for " + state + ".",
                      DbError::Kind::NotFound);
}

bool Installation::hasVersionRow(const std::string& path, const std::string& connect)
{
    try {
        Database db(path, connect);
        TableRecordSet version(db, "VERSION");
        version.setIndex("PRIMARY");
        version.seek("=", {Value("1")});
        version.field("VERSION");
        return true;
    } catch (const DbError&) {
        if (isServerConnect(connect))
            throw;
        return false;
    }
}

} // namespace kora
