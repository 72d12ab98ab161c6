#include "database/SqlDialect.h"

#include <regex>
#include <vector>

namespace kora {

namespace {

// Single-quoted literals are set aside as \x01<n>\x01 while the rules run, so
// that a value such as 'DELETE * FROM' is never rewritten.
std::string setAsideLiterals(const std::string& sql, std::vector<std::string>& literals)
{
    std::string out;
    out.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) {
        if (sql[i] != '\'') {
            out += sql[i];
            continue;
        }
        size_t end = i + 1;
        while (end < sql.size()) {
            if (sql[end] == '\'' && end + 1 < sql.size() && sql[end + 1] == '\'')
                end += 2;
            else if (sql[end] == '\'')
                break;
            else
                ++end;
        }
        literals.push_back(sql.substr(i, end - i + 1));
        out += '\x01' + std::to_string(literals.size() - 1) + '\x01';
        i = end;
    }
    return out;
}

std::string restoreLiterals(const std::string& sql, const std::vector<std::string>& literals)
{
    std::string out;
    out.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) {
        if (sql[i] != '\x01') {
            out += sql[i];
            continue;
        }
        const size_t end = sql.find('\x01', i + 1);
        out += literals[std::stoul(sql.substr(i + 1, end - i - 1))];
        i = end;
    }
    return out;
}

} // namespace

std::string SqlDialect::translate(const std::string& sql)
{
    const bool mayNeedWork = sql.find('*') != std::string::npos ||
                             sql.find("NOT") != std::string::npos ||
                             sql.find("not") != std::string::npos;
    if (!mayNeedWork)
        return sql;

    static const std::regex deleteStar(R"(\bDELETE\s+\*\s+FROM\b)", std::regex::icase);
    static const std::regex notEquals(
        R"(((?:\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_.]*)(?:\s*\([^()]*\))?)\s+NOT\s*=\s*(\x01\d+\x01|[-+]?[0-9.]+|\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_.]*))",
        std::regex::icase);

    std::vector<std::string> literals;
    std::string work = setAsideLiterals(sql, literals);
    work = std::regex_replace(work, deleteStar, "DELETE FROM");
    work = std::regex_replace(work, notEquals, "NOT ($1 = $2)");
    return restoreLiterals(work, literals);
}

} // namespace kora
