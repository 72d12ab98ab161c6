#pragma once

#include "database/Database.h"

namespace kora {

// Records what a company load changes. Made before the load empties PRIME
// and MODS, it keeps their keys; record() then fills LOADCHANGES with the
// companies the load added and those that got a mod they did not have. Both
// steps belong in the load's transaction.
class LoadChanges
{
public:
    explicit LoadChanges(Database& db);
    ~LoadChanges();
    LoadChanges(const LoadChanges&) = delete;
    LoadChanges& operator=(const LoadChanges&) = delete;

    void record();

private:
    void dropSnapshots();

    Database& m_db;
};

} // namespace kora
