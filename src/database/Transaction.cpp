#include "database/Transaction.h"

#include "database/Database.h"

namespace kora {

Transaction::Transaction(Database& db) : m_db(db)
{
    m_db.begin();
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.rollback();
        } catch (const DbError&) {
            // The connection is failing already; the engine discards the work.
        }
    }
}

void Transaction::commit()
{
    m_db.commit();
    m_done = true;
}

} // namespace kora
