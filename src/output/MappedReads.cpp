#include "output/MappedReads.h"

#include <string>

namespace kora {

namespace {

// SQLite keeps the map within its own compiled limit (2 GiB on Debian).
constexpr long long kMapSize = 1LL << 31;

void setMapSize(Database& db, long long size)
{
    db.prepare("PRAGMA mmap_size=" + std::to_string(size)).step();
}

} // namespace

MappedReads::MappedReads(Database& db) : m_db(db)
{
    Statement before = m_db.prepare("PRAGMA mmap_size");
    m_before = before.step() ? before.column(0).toInteger() : 0;
    setMapSize(m_db, kMapSize);
}

MappedReads::~MappedReads()
{
    try {
        setMapSize(m_db, m_before);
    } catch (const std::exception&) {
        // The map only makes reads cheaper; a connection that keeps it reads the same.
    }
}

} // namespace kora
