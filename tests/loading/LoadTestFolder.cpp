#include "LoadTestFolder.h"

#include "database/Schema.h"

#include <filesystem>
#include <fstream>

namespace kora::test {

namespace {

constexpr const char* kConnect = ";PWD=load";

} // namespace

LoadTestFolder::LoadTestFolder(const std::string& state) : m_state(state)
{
    const std::string path = m_folder.file("KORA" + state + ".MDB");
    Schema::createStateDatabase(path, kConnect, state);
    m_db.open(path, kConnect);
}

bool LoadTestFolder::exists(const std::string& name) const
{
    return std::filesystem::exists(m_folder.file(name));
}

void LoadTestFolder::write(const std::string& name, const std::vector<FixedRecord>& records,
                           std::string_view tail)
{
    std::ofstream out(m_folder.file(name), std::ios::binary | std::ios::trunc);
    for (const FixedRecord& record : records)
        out << record.text();
    out << tail;
}

Value LoadTestFolder::value(const std::string& sql)
{
    Statement query = m_db.prepare(sql);
    return query.step() ? query.column(0) : Value();
}

std::vector<std::string> LoadTestFolder::rows(const std::string& sql)
{
    std::vector<std::string> texts;
    Statement query = m_db.prepare(sql);
    while (query.step()) {
        std::string text;
        for (int i = 0; i < query.columnCount(); ++i)
            text += (i ? "|" : "") + (query.column(i).isNull() ? "-" : query.column(i).toString());
        texts.push_back(text);
    }
    return texts;
}

long long LoadTestFolder::count(const std::string& table)
{
    return value("SELECT COUNT(*) FROM " + table).toInteger();
}

} // namespace kora::test
