#include "database/Schema.h"

#include "base/Dates.h"
#include "base/FieldName.h"
#include "base/StateCodes.h"
#include "base/StateRules.h"
#include "database/Connection.h"
#include "database/Transaction.h"

#include <algorithm>
#include <set>

namespace kora {

namespace {

using Kind = Schema::Kind;

// On a server, text compares and sorts without regard to case as NOCASE
// does: citext, in a database of locale C, folds only ASCII letters, and
// compares under a byte-order collation.
const char* serverColumnType(Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return "citext COLLATE ucs_basic";
    case Kind::Date:
    case Kind::Memo:
        return "text COLLATE ucs_basic";
    case Kind::Number:
        return "double precision";
    case Kind::YesNo:
        return "integer";
    }
    return "text";
}

const char* columnType(Kind kind, SqlDialect::Target target)
{
    if (target == SqlDialect::Target::Postgres)
        return serverColumnType(kind);
    switch (kind) {
    case Kind::Text:
        return "TEXT COLLATE NOCASE";
    case Kind::Date:
    case Kind::Memo:
        return "TEXT";
    case Kind::Number:
        return "REAL";
    case Kind::YesNo:
        return "INTEGER";
    }
    return "TEXT";
}

std::vector<Schema::Field> textFields(std::initializer_list<const char*> names)
{
    std::vector<Schema::Field> fields;
    for (const char* name : names)
        fields.push_back({name, Kind::Text});
    return fields;
}

Schema::Table versionTable()
{
    return {"VERSION",
            {{"Dummy", Kind::Text}, {"Version", Kind::Date}},
            {{"PRIMARY", {"Dummy"}, false}}};
}

// A server's table made after the state was published takes the owner and
// the grants of a table that the publishing made.
std::string sameAccessSql(const std::string& table, const std::string& model)
{
    // The server keeps names unquoted, in lower case.
    const auto lower = [](std::string name) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return name;
    };
    return "DO $$DECLARE model oid := to_regclass('" + lower(model) +
           "'); granted record; BEGIN FOR granted IN SELECT a.grantee, a.privilege_type FROM "
           "pg_class c, aclexplode(c.relacl) a WHERE c.oid = model AND a.grantee <> c.relowner "
           "LOOP EXECUTE format('GRANT %s ON " +
           lower(table) +
           " TO %s', granted.privilege_type, CASE WHEN granted.grantee = 0 THEN 'PUBLIC' ELSE "
           "granted.grantee::regrole::text END); END LOOP; EXECUTE format('ALTER TABLE " +
           lower(table) +
           " OWNER TO %s', (SELECT relowner::regrole::text FROM pg_class WHERE oid = model)); "
           "END$$";
}

void addVersionRow(Database& db)
{
    db.prepare("INSERT INTO VERSION (Dummy, Version) VALUES ('1', ?)")
        .bind(1, Dates::today())
        .run();
}

} // namespace

std::vector<Schema::Table> Schema::stateTables(const std::string& state)
{
    const Table prime{
        "PRIME",
        {{"STATE", Kind::Text},       {"FILE", Kind::Text},       {"SEQUENCE", Kind::Text},
         {"FILESEQ", Kind::Text},     {"NAME1", Kind::Text},      {"NameSort", Kind::Text},
         {"NAME2", Kind::Text},       {"STREET", Kind::Text},     {"CITY", Kind::Text},
         {"ST", Kind::Text},          {"ZIP", Kind::Text},        {"ZIPEXT", Kind::Text},
         {"PHONE", Kind::Text},       {"AREA", Kind::Text},       {"FAX", Kind::Text},
         {"CONTACT", Kind::Text},     {"TITLE", Kind::Text},      {"SIC", Kind::Text},
         {"COUNTY", Kind::Text},      {"COUNTYNAME", Kind::Text}, {"CountySort", Kind::Text},
         {"EMPLOYEES", Kind::Text},   {"SALES", Kind::Text},      {"ASSOCIATES", Kind::YesNo},
         {"INTERSTATE", Kind::YesNo}, {"REVISED", Kind::YesNo},   {"EXPIRE", Kind::Date},
         {"MOD", Kind::Number},       {"ISSUE1", Kind::Number},   {"CONDITIONAL", Kind::Text},
         {"ARESTPREM", Kind::Text},   {"ARTOTPREM", Kind::Text},  {"ARTOTLOSS", Kind::Text},
         {"NJAR", Kind::Number},      {"NJPPAP", Kind::Text},     {"NJCCPAP", Kind::Text},
         {"User1", Kind::Text},       {"User2", Kind::Text},      {"User3", Kind::Text},
         {"UserPhone", Kind::Text},   {"UserFax", Kind::Text},    {"UserContact", Kind::Text},
         {"UserTitle", Kind::Text},   {"Omit", Kind::Text}},
        {{"PRIMARY", {"FILE", "SEQUENCE"}, true, true},
         {.name = "KEY2", .fields = {"NameSort"}, .unique = false, .rangedOnServer = true},
         {.name = "KEY3", .fields = {"CountySort"}, .unique = false, .rangedOnServer = true},
         // Lookups on zip ranges.
         {.name = "ZIP", .fields = {"ZIP"}, .unique = false, .rangedOnServer = true},
         // Lookups on SIC ranges, which often select few companies.
         {.name = "SIC",
          .fields = {"SIC"},
          .unique = false,
          .rangedOnServer = true,
          .onServerOnly = true},
         // Class ranges of few companies, sought one by one from CLASS. A file
         // has none: SQLite would drive every class range so, slower than a
         // scan once the range is broad, where the server weighs the two.
         {.name = "FILESEQ", .fields = {"FILESEQ"}, .unique = false, .onServerOnly = true}}};
    const Table mods{"MODS",
                     {{"FILE", Kind::Text},
                      {"SEQUENCE", Kind::Text},
                      {"ISSUE", Kind::Date},
                      {"EFFECTIVE", Kind::Date},
                      {"EXPIRE", Kind::Date},
                      {"MOD", Kind::Number}},
                     {{"COMPANY", {"FILE", "SEQUENCE"}, false}}};
    const Table classes{"CLASS",
                        {{"FILE", Kind::Text},
                         {"SEQUENCE", Kind::Text},
                         {"FILESEQ", Kind::Text},
                         {"CLASS", Kind::Text},
                         {"CLASSDESC", Kind::Text},
                         {"LOSSCOST", Kind::Number}},
                        {{"PRIMARY", {"FILE", "SEQUENCE", "CLASS"}, true},
                         // Lookups: the companies of a class range.
                         {.name = "CODE",
                          .fields = {"CLASS", "FILESEQ"},
                          .unique = false,
                          .rangedOnServer = true}}};
    std::vector<Table> tables = {
        prime,
        mods,
        classes,
        {"CLASSLIST", textFields({"CLASS", "DESC"}), {{"PRIMARY", {"CLASS"}, true}}},
        {"COUNTY", textFields({"CODE", "COUNTY"}), {{"PRIMARY", {"CODE"}, true}}},
        {"SICCODES", textFields({"CODE", "DESC"}), {{"PRIMARY", {"CODE"}, true}}},
        {"EMPLOYEES", textFields({"CODE", "DESCRIPTION"}), {}},
        {"SALES", textFields({"CODE", "DESCRIPTION"}), {}},
        {"MERIT", textFields({"CODE", "DESCRIPTION"}), {}},
        {"NOTES",
         {{"FILE", Kind::Text}, {"SEQUENCE", Kind::Text}, {"NOTES", Kind::Memo}},
         {{"PRIMARY", {"FILE", "SEQUENCE"}, true}}},
        versionTable(),
        loadChangesTable(),
        modTrendTable(),
        followUpTable()};
    if (StateRules::isNewYork(state))
        tables.push_back(
            {"ADDRESSES",
             {{"FILE", Kind::Text}, {"SEQUENCE", Kind::Text}, {"ADDRESSES", Kind::Memo}},
             {{"PRIMARY", {"FILE", "SEQUENCE"}, true}}});
    return tables;
}

Schema::Table Schema::loadChangesTable()
{
    return {"LOADCHANGES",
            textFields({"FILE", "SEQUENCE", "CHANGE"}),
            {{"PRIMARY", {"FILE", "SEQUENCE"}, true}}};
}

Schema::Table Schema::modTrendTable()
{
    // The lookups read a range of CHANGE or YEARSOVER with the company keys
    // from the index alone. No index on the keys: nothing looks a company up
    // here, and the load is faster without.
    return {"MODTREND",
            {{"FILE", Kind::Text},
             {"SEQUENCE", Kind::Text},
             {"LATEST", Kind::Number},
             {"PRIOR", Kind::Number},
             {"CHANGE", Kind::Number},
             {"YEARSOVER", Kind::Number}},
            {{.name = "CHANGE",
              .fields = {"CHANGE", "FILE", "SEQUENCE"},
              .unique = false,
              .carriesOnServer = true},
             {.name = "YEARS",
              .fields = {"YEARSOVER", "FILE", "SEQUENCE"},
              .unique = false,
              .carriesOnServer = true}}};
}

Schema::Table Schema::loadedFilesTable()
{
    return {"LOADEDFILES", textFields({"NAME", "IDENTITY"}), {{"PRIMARY", {"NAME"}, true}}};
}

Schema::Table Schema::followUpTable()
{
    // The due list reads the follow-ups in the order of their days.
    return {
        "FOLLOWUP",
        {{"FILE", Kind::Text}, {"SEQUENCE", Kind::Text}, {"DUE", Kind::Date}, {"TEXT", Kind::Text}},
        {{"PRIMARY", {"FILE", "SEQUENCE"}, true}, {"DUE", {"DUE"}, false}}};
}

std::vector<Schema::Table> Schema::everyTableOf(const std::string& state)
{
    std::vector<Table> tables = stateTables(state);
    tables.push_back(loadedFilesTable());
    return tables;
}

std::vector<Schema::Table> Schema::setupTables()
{
    return {{"Setup", textFields({"State", "pwd"}), {{"Key", {"State"}, true}}}};
}

std::vector<Schema::Table> Schema::backupTables()
{
    return {{"NOTES", {{"FILE", Kind::Text}, {"SEQUENCE", Kind::Text}, {"NOTES", Kind::Memo}}, {}},
            {"USER",
             textFields({"FILE", "SEQUENCE", "User1", "User2", "User3", "UserPhone", "UserFax",
                         "UserContact", "UserTitle", "Omit"}),
             {}},
            versionTable(),
            followUpTable()};
}

std::vector<Schema::Table> Schema::reportTables()
{
    Table prime{
        "PRIME",
        textFields({"FILE",  "SEQUENCE",  "NAME1",   "NAME2",       "STREET",    "CITY",    "ST",
                    "AREA",  "SIC",       "COUNTY",  "COUNTYNAME",  "EMPLOYEES", "SALES",   "User1",
                    "User2", "User3",     "ZIP",     "PHONE",       "FAX",       "CONTACT", "TITLE",
                    "Omit",  "UserPhone", "UserFax", "UserContact", "UserTitle"}),
        {}};
    for (int n = 0; n < 20; ++n) {
        const std::string number = std::to_string(n);
        prime.fields.push_back({"ISSUE" + number, Kind::Date});
        prime.fields.push_back({"EFFECTIVE" + number, Kind::Date});
        prime.fields.push_back({"EXPIRE" + number, Kind::Date});
        prime.fields.push_back({"MOD" + number, Kind::Number});
    }
    prime.fields.insert(prime.fields.end(), {{"EXPIRE", Kind::Number},
                                             {"EMPDESC", Kind::Text},
                                             {"SICDESC", Kind::Text},
                                             {"SALESDESC", Kind::Text},
                                             {"ARESTPREM", Kind::Text},
                                             {"ARTOTPREM", Kind::Text},
                                             {"ARTOTLOSS", Kind::Text},
                                             {"NJPPAP", Kind::Text},
                                             {"NJCCPAP", Kind::Text},
                                             {"NJAR", Kind::Text},
                                             {"NOTES", Kind::Memo},
                                             {"ADDRESSES", Kind::Memo},
                                             {"REVISED", Kind::YesNo},
                                             {"INTERSTATE", Kind::YesNo},
                                             {"FOLLOWUPDUE", Kind::Date},
                                             {"FOLLOWUPTEXT", Kind::Text}});
    Table classes{"CLASS", textFields({"FILE", "SEQUENCE"}), {}};
    for (int n = 0; n <= 20; ++n) {
        const std::string number = std::to_string(n);
        classes.fields.push_back({"CLASS" + number, Kind::Text});
        classes.fields.push_back({"CLASSDESC" + number, Kind::Text});
        classes.fields.push_back({"CLASSLOSS" + number, Kind::Number});
    }
    return {prime, classes};
}

std::string Schema::createTableSql(const Table& table, SqlDialect::Target target)
{
    std::string sql = "CREATE TABLE " + quoteIdentifier(table.name) + " (";
    for (size_t i = 0; i < table.fields.size(); ++i)
        sql += (i ? ", " : "") + quoteIdentifier(table.fields[i].name) + " " +
               columnType(table.fields[i].kind, target);
    // SQLite's row id, which callers select, seek and order by, as a column of
    // its own at the end, where it leaves the positions of the fields alone.
    if (target == SqlDialect::Target::Postgres)
        sql += ", rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    return sql + ")";
}

namespace {

std::string createIndexSql(const Schema::Table& table, const Schema::Index& index,
                           SqlDialect::Target target)
{
    const bool postgres = target == SqlDialect::Target::Postgres;
    // No value sorts first, as on SQLite, so that the index serves ORDER BY.
    const char* order = postgres ? " NULLS FIRST" : "";
    std::string sql = std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                      quoteIdentifier(table.name + "_" + index.name) + " ON " +
                      quoteIdentifier(table.name) + " (";
    const bool ranged = postgres && index.rangedOnServer;
    const bool carries = postgres && (index.carriesOnServer || ranged);
    const size_t sorted = carries ? 1 : index.fields.size();
    for (size_t i = 0; i < sorted; ++i) {
        const std::string field = quoteIdentifier(index.fields[i]);
        sql += (i ? ", " : "") + (ranged ? Schema::sortKeyOnServer(field) : field) + order;
    }
    // Statements of PRIME end their order in the row id (SqlDialect), as
    // SQLite's indexes end in it; the server's indexes get it as their last
    // key so that they serve that order.
    if (postgres && !index.unique)
        sql += std::string(", rowid") + order;
    sql += ")";
    // A ranged index carries its first field too: the server reads a field
    // from an index only where the index holds the field itself.
    const std::vector<std::string> carried(index.fields.begin() + (ranged ? 0 : 1),
                                           index.fields.end());
    if (carries && !carried.empty())
        sql += " INCLUDE (" + quoteIdentifiers(carried) + ")";
    return sql;
}

} // namespace

const std::string& Schema::expireMonthDay()
{
    static const std::string expression = "(MONTH(EXPIRE)*100+DAY(EXPIRE))";
    return expression;
}

std::string Schema::sortKeyOnServer(const std::string& column)
{
    return "lower(" + column + "::text COLLATE ucs_basic)";
}

bool Schema::isPrimeTextField(const std::string& name)
{
    // PRIME is the first table of every state.
    static const std::set<std::string> folded = [] {
        std::set<std::string> names;
        const std::vector<Table> tables = anyStateTables();
        for (const Field& field : tables.front().fields)
            if (field.kind == Kind::Text)
                names.insert(foldFieldName(field.name));
        return names;
    }();
    return folded.count(foldFieldName(name)) > 0;
}

bool Schema::isRangedOnServer(const std::string& name)
{
    static const std::set<std::string> folded = [] {
        std::set<std::string> names;
        for (const Table& table : anyStateTables())
            for (const Index& index : table.indexes)
                if (index.rangedOnServer)
                    names.insert(foldFieldName(index.fields.front()));
        return names;
    }();
    return folded.count(foldFieldName(name)) > 0;
}

std::vector<std::string> Schema::createIndexesSql(const Table& table, SqlDialect::Target target)
{
    const bool postgres = target == SqlDialect::Target::Postgres;
    std::vector<std::string> statements;
    for (const Index& index : table.indexes)
        if (postgres || !index.onServerOnly)
            statements.push_back(createIndexSql(table, index, target));
    if (!postgres)
        return statements;
    const std::string on = " ON " + quoteIdentifier(table.name) + " (";
    for (const Index& index : table.indexes) {
        if (!index.ordersTable)
            continue;
        // With the fields themselves, so that a whole table is read in order
        // from the index alone.
        std::string keys;
        for (const std::string& field : index.fields)
            keys += sortKeyOnServer(quoteIdentifier(field)) + " NULLS FIRST, ";
        statements.push_back("CREATE INDEX " +
                             quoteIdentifier(table.name + "_" + index.name + "_ORDER") + on + keys +
                             "rowid NULLS FIRST) INCLUDE (" + quoteIdentifiers(index.fields) + ")");
    }
    if (table.name == "PRIME")
        statements.push_back("CREATE INDEX " + quoteIdentifier("PRIME_MONTHDAY") + on +
                             expireMonthDay() + ")");
    return statements;
}

void Schema::createTables(Database& db, const std::vector<Table>& tables)
{
    const SqlDialect::Target target = db.connection().target();
    for (const Table& table : tables) {
        db.execute(createTableSql(table, target));
        for (const std::string& statement : createIndexesSql(table, target))
            db.execute(statement);
    }
}

bool Schema::createIfMissing(Database& db, const Table& table, const std::string& accessLike)
{
    if (db.tableExists(table.name))
        return false;
    createTables(db, {table});
    if (db.connection().target() == SqlDialect::Target::Postgres)
        db.execute(sameAccessSql(table.name, accessLike));
    return true;
}

const std::vector<std::string>& Schema::employeeBands()
{
    static const std::vector<std::string> bands = {"Unknown",   "1 - 4",   "5 - 9",     "10 - 19",
                                                   "20 - 49",   "50 - 99", "100 - 249", "250 - 499",
                                                   "500 - 999", "1000+"};
    return bands;
}

const std::vector<std::string>& Schema::salesBands()
{
    static const std::vector<std::string> bands = {
        "Unknown",       "Under 1 million", "1MM - 4.9MM",     "5MM - 9.9MM",     "10MM - 24.9MM",
        "25MM - 74.9MM", "75MM - 199.9MM",  "200MM - 499.9MM", "500MM - 999.9MM", "1 Billion +"};
    return bands;
}

void Schema::createStateDatabase(const std::string& path, const std::string& connect,
                                 const std::string& state)
{
    Database db = Database::create(path, connect);
    Transaction transaction(db);
    createTables(db, stateTables(state));
    for (const auto& [table, bands] :
         {std::pair{"EMPLOYEES", &employeeBands()}, std::pair{"SALES", &salesBands()}}) {
        Statement insert =
            db.prepare(std::string("INSERT INTO ") + table + " (CODE, DESCRIPTION) VALUES (?, ?)");
        for (size_t code = 0; code < bands->size(); ++code) {
            insert.reset();
            insert.bind(1, std::to_string(code)).bind(2, (*bands)[code]).run();
        }
    }
    // The merit ratings are searched through special values of the MOD column.
    db.execute("INSERT INTO MERIT (CODE, DESCRIPTION) VALUES ('9.884', 'Neutral'), "
               "('9.885', 'Credit'), ('9.886', 'Debit'), ('8.888', 'N/Q')");
    addVersionRow(db);
    transaction.commit();
}

void Schema::createSetupDatabase(const std::string& path)
{
    Database db = Database::create(path, std::string(kSetupConnect));
    createTables(db, setupTables());
}

void Schema::createBackupDatabase(const std::string& path)
{
    Database db = Database::create(path, "");
    Transaction transaction(db);
    createTables(db, backupTables());
    addVersionRow(db);
    transaction.commit();
}

void Schema::createReportDatabase(const std::string& path)
{
    Database db = Database::create(path, "");
    Transaction transaction(db);
    createTables(db, reportTables());
    transaction.commit();
}

} // namespace kora
