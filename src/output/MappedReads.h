#pragma once

#include "database/Database.h"

namespace kora {

// While it lives, a connection reads its database file through a memory map
// instead of a read call per page. An export visits pages of companies, mods
// and classes scattered over the whole file; mapped, each costs a memory read
// rather than a system call and a copy. The connection's own setting comes
// back when the guard ends.
class MappedReads
{
public:
    explicit MappedReads(Database& db);
    MappedReads(const MappedReads&) = delete;
    MappedReads& operator=(const MappedReads&) = delete;
    ~MappedReads();

private:
    Database& m_db;
    long long m_before = 0;
};

} // namespace kora
