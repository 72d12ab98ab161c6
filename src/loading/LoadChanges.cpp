#include "loading/LoadChanges.h"

#include "database/Schema.h"

namespace kora {

LoadChanges::LoadChanges(Database& db) : m_db(db)
{
    const Schema::Table changes = Schema::loadChangesTable();
    if (!m_db.tableExists(changes.name)) {
        Schema::createTables(m_db, {changes});
    }
    m_db.execute("DELETE FROM LOADCHANGES");
    dropSnapshots();
    m_db.execute("CREATE TEMP TABLE OLDPRIME AS SELECT FILE, SEQUENCE FROM PRIME");
    m_db.execute("CREATE TEMP TABLE OLDMODS AS SELECT FILE, SEQUENCE, EFFECTIVE, EXPIRE FROM MODS");
}

LoadChanges::~LoadChanges()
{
    try {
        dropSnapshots();
    } catch (...) {
        // The temporary tables go with the connection anyway.
    }
}

void LoadChanges::record()
{
    m_db.execute("CREATE INDEX temp.OLDPRIME_KEY ON OLDPRIME (FILE, SEQUENCE)");
    m_db.execute("CREATE INDEX temp.OLDMODS_KEY ON OLDMODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE)");
    m_db.execute("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) SELECT FILE, SEQUENCE, "
                 "'New Company' FROM PRIME AS P WHERE NOT EXISTS (SELECT 1 FROM OLDPRIME AS O "
                 "WHERE O.FILE = P.FILE AND O.SEQUENCE = P.SEQUENCE)");
    m_db.execute(
        "INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) SELECT FILE, SEQUENCE, 'New Mod' "
        "FROM PRIME AS P WHERE EXISTS (SELECT 1 FROM OLDPRIME AS O WHERE O.FILE = P.FILE AND "
        "O.SEQUENCE = P.SEQUENCE) AND EXISTS (SELECT 1 FROM MODS AS M WHERE M.FILE = P.FILE "
        "AND M.SEQUENCE = P.SEQUENCE AND NOT EXISTS (SELECT 1 FROM OLDMODS AS O WHERE O.FILE = "
        "M.FILE AND O.SEQUENCE = M.SEQUENCE AND O.EFFECTIVE = M.EFFECTIVE AND O.EXPIRE = "
        "M.EXPIRE))");
}

void LoadChanges::dropSnapshots()
{
    m_db.execute("DROP TABLE IF EXISTS temp.OLDPRIME");
    m_db.execute("DROP TABLE IF EXISTS temp.OLDMODS");
}

} // namespace kora
