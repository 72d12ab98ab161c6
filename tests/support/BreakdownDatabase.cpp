#include "support/BreakdownDatabase.h"

#include "database/Schema.h"

namespace kora::test {

namespace {

constexpr const char* kConnect = ";PWD=breakdown";

} // namespace

BreakdownDatabase::BreakdownDatabase()
{
    Schema::createStateDatabase(m_folder.file("KORAPA.MDB"), kConnect, "PA");
    m_db.open(m_folder.file("KORAPA.MDB"), kConnect);
    m_db.execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1500', 'BUILDING CONSTRUCTION'), "
                 "('1521', 'HOUSES')");
    add("1", "003", "ALLEGHENY", "1521", 0.85, "2026-03-01", " ");
    add("2", "003", "ALLEGHENY", "1542", 1.0, "2026-03-15", " ");
    add("3", "101", "PHILADELPHIA", "5812", 1.24, "2026-11-30", " ");
    add("4", "101", "PHILADELPHIA", "5812", 1.25, "2026-11-01", " ");
    add("5", "101", "PHILADELPHIA", "5812", 0.95, "2026-11-01", "Y");
}

void BreakdownDatabase::add(const char* file, const char* county, const char* countyName,
                            const char* sic, double mod, const char* expire, const char* omit)
{
    m_db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, COUNTY, COUNTYNAME, SIC, MOD, "
                 "EXPIRE, Omit) VALUES (?, '01', ?, ?, ?, ?, ?, ?, ?)")
        .bindAll({file, std::string(file) + "01", county, countyName, sic, mod, expire, omit})
        .run();
}

} // namespace kora::test
