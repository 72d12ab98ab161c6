#include "database/Transaction.h"

#include "database/Database.h"

namespace kora {

namespace {

// Savepoint names only need to be distinct among those open at once.
int g_savepointSerial = 0;

} // namespace

Transaction::Transaction(Database& db) : m_db(db)
{
    if (m_db.inTransaction()) {
        m_savepoint = "kora_step_" + std::to_string(++g_savepointSerial);
        m_db.execute("SAVEPOINT " + m_savepoint);
    } else {
        m_db.begin();
    }
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_savepoint.empty()) {
            m_db.rollback();
        } else if (m_db.inTransaction()) {
            m_db.execute("ROLLBACK TO " + m_savepoint);
            m_db.execute("RELEASE " + m_savepoint);
        }
    } catch (const DbError&) {
        // The connection is failing already; the engine discards the work.
    }
}

void Transaction::commit()
{
    if (m_savepoint.empty())
        m_db.commit();
    else
        m_db.execute("RELEASE " + m_savepoint);
    m_done = true;
}

} // namespace kora
