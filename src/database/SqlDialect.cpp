#include "database/SqlDialect.h"

#include "base/FieldName.h"
#include "database/Schema.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace kora {

namespace {

// Every single-quoted literal stands as this one character while the rules
// run, so that a value such as 'DELETE * FROM' is never rewritten and the
// rules never look into a value. The character itself, where a statement
// holds it, is set aside the same way.
constexpr char kLiteral = '\x01';

struct Span
{
    size_t begin;
    size_t end;
};

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isWordChar(char c)
{
    return isLetter(c) || isDigit(c) || c == '_';
}

bool isNameStart(char c)
{
    return isLetter(c) || c == '_';
}

bool isNameChar(char c)
{
    return isWordChar(c) || c == '.';
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether an upper-case word stands at a position, in any case.
bool hasWordAt(const std::string& text, size_t at, const char* word)
{
    for (; *word; ++word, ++at)
        if (at >= text.size() || upper(text[at]) != *word)
            return false;
    return true;
}

size_t skipSpaces(const std::string& text, size_t at)
{
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at;
}

std::string setAsideLiterals(const std::string& sql, std::vector<Span>& literals)
{
    std::string work;
    work.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) {
        if (sql[i] == kLiteral) {
            literals.push_back({i, i + 1});
            work += kLiteral;
            continue;
        }
        if (sql[i] != '\'') {
            work += sql[i];
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
        end = std::min(end + 1, sql.size());
        literals.push_back({i, end});
        work += kLiteral;
        i = end - 1;
    }
    return work;
}

std::string restoreLiterals(const std::string& work, const std::string& sql,
                            const std::vector<Span>& literals)
{
    std::string out;
    out.reserve(sql.size() + work.size() - literals.size());
    size_t next = 0;
    for (const char c : work) {
        if (c != kLiteral) {
            out += c;
            continue;
        }
        const Span& literal = literals[next++];
        out.append(sql, literal.begin, literal.end - literal.begin);
    }
    return out;
}

// A bound of a range: a literal set aside or a parameter; where it ends.
std::optional<size_t> boundEnd(const std::string& work, size_t at)
{
    if (at >= work.size())
        return std::nullopt;
    if (work[at] == kLiteral)
        return at + 1;
    if (work[at] != '?' && work[at] != '$')
        return std::nullopt;
    size_t end = at + 1;
    while (end < work.size() && isDigit(work[end]))
        ++end;
    if (work[at] == '$' && end == at + 1)
        return std::nullopt;
    return end;
}

// One walk over a statement whose literals are set aside, rewriting
// "DELETE * FROM" and "x NOT = y", and for the server the ranges of fields it
// compares by their sort keys. Each look back from a NOT or a BETWEEN covers
// only the operand standing right before it, so the walk stays linear in the
// length.
class Rewriter
{
public:
    Rewriter(const std::string& work, SqlDialect::Target target)
        : m_in(work), m_server(target == SqlDialect::Target::Postgres)
    {
    }

    // The rewritten statement; no value when nothing was rewritten.
    std::optional<std::string> run()
    {
        size_t at = 0;
        while (at < m_in.size()) {
            if (const auto end = deleteStarEnd(at)) {
                emit(at, "DELETE FROM");
                at = m_done = *end;
            } else if (const auto end = notEqualsEnd(at)) {
                at = *end;
            } else if (const auto end = m_server ? rangeEnd(at) : std::nullopt) {
                at = *end;
            } else {
                ++at;
            }
        }
        if (!m_rewritten)
            return std::nullopt;
        m_out.append(m_in, m_done);
        return std::move(m_out);
    }

private:
    // Copies what lies before a rewritten stretch, then its new text.
    void emit(size_t stretchBegin, const std::string& text)
    {
        m_out.append(m_in, m_done, stretchBegin - m_done);
        m_out += text;
        m_rewritten = true;
    }

    std::string slice(Span span) const { return m_in.substr(span.begin, span.end - span.begin); }

    // "DELETE", blanks, "*", blanks, "FROM", as whole words in any case.
    std::optional<size_t> deleteStarEnd(size_t at) const
    {
        if (upper(m_in[at]) != 'D' || (at > 0 && isWordChar(m_in[at - 1])) ||
            !hasWordAt(m_in, at, "DELETE"))
            return std::nullopt;
        size_t next = at + 6;
        if (next >= m_in.size() || !isSpace(m_in[next]))
            return std::nullopt;
        next = skipSpaces(m_in, next);
        if (next >= m_in.size() || m_in[next] != '*')
            return std::nullopt;
        ++next;
        if (next >= m_in.size() || !isSpace(m_in[next]))
            return std::nullopt;
        next = skipSpaces(m_in, next);
        if (!hasWordAt(m_in, next, "FROM"))
            return std::nullopt;
        next += 4;
        if (next < m_in.size() && isWordChar(m_in[next]))
            return std::nullopt;
        return next;
    }

    // At a NOT after blanks and before "=": rewrites the comparison when the
    // operands on both sides have their forms, and returns where it ends.
    std::optional<size_t> notEqualsEnd(size_t at)
    {
        if (upper(m_in[at]) != 'N' || at == 0 || !isSpace(m_in[at - 1]) ||
            !hasWordAt(m_in, at, "NOT"))
            return std::nullopt;
        const size_t equals = skipSpaces(m_in, at + 3);
        if (equals >= m_in.size() || m_in[equals] != '=')
            return std::nullopt;
        const auto left = leftOperandBefore(at);
        if (!left)
            return std::nullopt;
        const auto right = rightOperandAt(skipSpaces(m_in, equals + 1));
        if (!right)
            return std::nullopt;
        emit(left->begin, "NOT (" + slice(*left) + " = " + slice(*right) + ")");
        m_done = right->end;
        return m_done;
    }

    // At a BETWEEN: "FIELD [NOT] BETWEEN a AND b" on a field the server
    // compares ranges of by its sort key (Schema::isRangedOnServer), with
    // values or parameters as bounds, compares the sort keys: the same test,
    // which the field's index serves. Returns where the range ends.
    std::optional<size_t> rangeEnd(size_t at)
    {
        if (upper(m_in[at]) != 'B' || (at > 0 && isNameChar(m_in[at - 1])) ||
            !hasWordAt(m_in, at, "BETWEEN") || (at + 7 < m_in.size() && isWordChar(m_in[at + 7])))
            return std::nullopt;
        size_t nameEnd = skipSpacesBack(at);
        if (nameEnd >= m_done + 3 && hasWordAt(m_in, nameEnd - 3, "NOT") &&
            (nameEnd == m_done + 3 || !isNameChar(m_in[nameEnd - 4])))
            nameEnd = skipSpacesBack(nameEnd - 3);
        if (nameEnd == m_done)
            return std::nullopt;
        const auto name = nameEndingAt(nameEnd);
        if (!name)
            return std::nullopt;
        const std::string field = slice(*name);
        if (!Schema::isRangedOnServer(field.substr(field.rfind('.') + 1)))
            return std::nullopt;
        const size_t lowBegin = skipSpaces(m_in, at + 7);
        const auto lowEnd = boundEnd(m_in, lowBegin);
        if (!lowEnd)
            return std::nullopt;
        const size_t andAt = skipSpaces(m_in, *lowEnd);
        if (!hasWordAt(m_in, andAt, "AND") ||
            (andAt + 3 < m_in.size() && isWordChar(m_in[andAt + 3])))
            return std::nullopt;
        const size_t highBegin = skipSpaces(m_in, andAt + 3);
        const auto highEnd = boundEnd(m_in, highBegin);
        if (!highEnd || (*highEnd < m_in.size() && isNameChar(m_in[*highEnd])))
            return std::nullopt;
        const auto sortKey = [this](size_t begin, size_t end) {
            return Schema::sortKeyOnServer(slice({begin, end}));
        };
        emit(name->begin, sortKey(name->begin, name->end) + slice({name->end, lowBegin}) +
                              sortKey(lowBegin, *lowEnd) + slice({*lowEnd, highBegin}) +
                              sortKey(highBegin, *highEnd));
        m_done = *highEnd;
        return m_done;
    }

    size_t skipSpacesBack(size_t end) const
    {
        while (end > m_done && isSpace(m_in[end - 1]))
            --end;
        return end;
    }

    // A name or a bracketed name, optionally called with an argument list that
    // holds no parentheses: "[MOD]", "NAME1", "MONTH(EXPIRE)".
    std::optional<Span> leftOperandBefore(size_t notAt) const
    {
        const size_t end = skipSpacesBack(notAt);
        if (end == m_done)
            return std::nullopt;
        if (m_in[end - 1] != ')')
            return nameEndingAt(end);
        size_t open = end - 1;
        while (open > m_done && m_in[open - 1] != '(' && m_in[open - 1] != ')')
            --open;
        if (open == m_done || m_in[open - 1] != '(')
            return std::nullopt;
        const size_t nameEnd = skipSpacesBack(open - 1);
        if (nameEnd == m_done)
            return std::nullopt;
        const auto name = nameEndingAt(nameEnd);
        if (!name)
            return std::nullopt;
        return Span{name->begin, end};
    }

    // The name that ends at a position: "[" at least one character "]", or a
    // letter or underscore followed by letters, digits, underscores and points,
    // taken from its first possible start.
    std::optional<Span> nameEndingAt(size_t end) const
    {
        if (m_in[end - 1] == ']') {
            std::optional<size_t> open;
            for (size_t i = end - 1; i > m_done && m_in[i - 1] != ']'; --i)
                if (m_in[i - 1] == '[')
                    open = i - 1;
            if (!open || *open + 2 == end)
                return std::nullopt;
            return Span{*open, end};
        }
        size_t begin = end;
        while (begin > m_done && isNameChar(m_in[begin - 1]))
            --begin;
        while (begin < end && !isNameStart(m_in[begin]))
            ++begin;
        if (begin == end)
            return std::nullopt;
        return Span{begin, end};
    }

    // A literal, a number, a bracketed name or a name.
    std::optional<Span> rightOperandAt(size_t begin)
    {
        if (begin >= m_in.size())
            return std::nullopt;
        const char first = m_in[begin];
        if (first == kLiteral)
            return Span{begin, begin + 1};
        size_t end = begin;
        if (first == '+' || first == '-' || isDigit(first) || first == '.') {
            end += first == '+' || first == '-';
            const size_t digits = end;
            while (end < m_in.size() && (isDigit(m_in[end]) || m_in[end] == '.'))
                ++end;
            if (end == digits)
                return std::nullopt;
            return Span{begin, end};
        }
        if (first == '[') {
            if (!m_closingBracket ||
                (*m_closingBracket != std::string::npos && *m_closingBracket <= begin))
                m_closingBracket = m_in.find(']', begin + 1);
            const size_t close = *m_closingBracket;
            if (close == std::string::npos || close == begin + 1)
                return std::nullopt;
            return Span{begin, close + 1};
        }
        if (!isNameStart(first))
            return std::nullopt;
        while (end < m_in.size() && isNameChar(m_in[end]))
            ++end;
        return Span{begin, end};
    }

    const std::string& m_in;
    const bool m_server;
    std::string m_out;
    size_t m_done = 0; // the text before this position is settled
    bool m_rewritten = false;
    // The first "]" after the last right operand that began with "[", kept so
    // that the rest of the statement is searched once at most.
    std::optional<size_t> m_closingBracket;
};

std::string upperWord(const std::string& text, size_t begin, size_t end)
{
    std::string word = text.substr(begin, end - begin);
    std::transform(word.begin(), word.end(), word.begin(), upper);
    return word;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isOneOf(const std::string& word, std::initializer_list<const char*> words)
{
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
}

// The words that may follow a condition or a subquery in FROM: a name in
// their place is an alias.
bool endsAClause(const std::string& word)
{
    return isOneOf(word, {"AND",  "OR",    "ORDER", "GROUP",  "LIMIT",     "OFFSET", "ON",
                          "THEN", "WHERE", "UNION", "EXCEPT", "INTERSECT", "HAVING", "JOIN",
                          "LEFT", "INNER", "CROSS", "USING",  "ELSE",      "END"});
}

// The unique key of a table of a state database, for INSERT OR REPLACE.
std::vector<std::string> uniqueKeyOf(const std::string& table)
{
    for (const Schema::Table& candidate : Schema::anyStateTables()) {
        if (foldFieldName(candidate.name) != foldFieldName(table))
            continue;
        for (const Schema::Index& index : candidate.indexes)
            if (index.unique)
                return index.fields;
    }
    return {};
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), lower);
    return text;
}

// "INSERT OR IGNORE|REPLACE INTO t (columns) ..." as an INSERT with an ON
// CONFLICT clause; other statements as they are.
std::string conflictClauses(const std::string& work)
{
    const size_t start = skipSpaces(work, 0);
    if (!hasWordAt(work, start, "INSERT"))
        return work;
    const size_t orAt = skipSpaces(work, start + 6);
    if (!hasWordAt(work, orAt, "OR"))
        return work;
    const size_t verbAt = skipSpaces(work, orAt + 2);
    const bool ignore = hasWordAt(work, verbAt, "IGNORE");
    if (!ignore && !hasWordAt(work, verbAt, "REPLACE"))
        return work;
    std::string rest = work.substr(verbAt + (ignore ? 6 : 7));
    while (!rest.empty() && (isSpace(rest.back()) || rest.back() == ';'))
        rest.pop_back();
    const std::string insert = work.substr(0, start) + "INSERT" + rest;
    if (ignore)
        return insert + " ON CONFLICT DO NOTHING";

    // The table's name and the list of columns after INTO.
    size_t at = skipSpaces(rest, 0);
    if (!hasWordAt(rest, at, "INTO"))
        return work;
    at = skipSpaces(rest, at + 4);
    size_t nameEnd = at;
    while (nameEnd < rest.size() && !isSpace(rest[nameEnd]) && rest[nameEnd] != '(')
        ++nameEnd;
    std::string table = rest.substr(at, nameEnd - at);
    table.erase(std::remove_if(table.begin(), table.end(),
                               [](char c) { return c == '"' || c == '[' || c == ']'; }),
                table.end());
    const size_t open = rest.find('(', nameEnd);
    const size_t close = rest.find(')', open);
    const std::vector<std::string> key = uniqueKeyOf(table);
    if (open == std::string::npos || close == std::string::npos || key.empty())
        return work;
    std::vector<std::string> columns;
    std::string column;
    for (size_t i = open + 1; i <= close; ++i) {
        const char c = rest[i];
        if (c == ',' || c == ')') {
            columns.push_back(lowered(column));
            column.clear();
        } else if (!isSpace(c) && c != '"' && c != '[' && c != ']') {
            column += c;
        }
    }
    std::string target;
    for (const std::string& field : key)
        target += (target.empty() ? "" : ", ") + quoteIdentifier(lowered(field));
    std::string changes;
    for (const std::string& name : columns)
        if (std::none_of(key.begin(), key.end(),
                         [&](const std::string& field) { return lowered(field) == name; }))
            changes += (changes.empty() ? "" : ", ") + quoteIdentifier(name) + " = excluded." +
                       quoteIdentifier(name);
    return insert + " ON CONFLICT (" + target + ")" +
           (changes.empty() ? " DO NOTHING" : " DO UPDATE SET " + changes);
}

struct Token
{
    std::string word; // in upper case; a quoted name without its quotes
    size_t begin;
    size_t end;
    bool calls; // "(" follows
};

bool isClauseWord(const std::string& word)
{
    return endsAClause(word) || isOneOf(word, {"NATURAL", "FULL", "RIGHT", "OUTER"});
}

// The words, names and calls outside parentheses, up to the first ";".
std::vector<Token> topLevelTokens(const std::string& work, size_t& statementEnd)
{
    std::vector<Token> tokens;
    int depth = 0;
    statementEnd = work.size();
    for (size_t at = 0; at < work.size();) {
        const char c = work[at];
        if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
            ++at;
        } else if (c == ';' && depth == 0) {
            statementEnd = at;
            break;
        } else if (c == '"' || c == '[' || isNameStart(c)) {
            size_t end = at + 1;
            if (c == '"' || c == '[') {
                const size_t close = work.find(c == '[' ? ']' : '"', at + 1);
                end = close == std::string::npos ? work.size() : close + 1;
            } else {
                while (end < work.size() && isNameChar(work[end]))
                    ++end;
            }
            if (depth == 0) {
                const size_t next = skipSpaces(work, end);
                const bool quoted = c == '"' || c == '[';
                tokens.push_back(
                    {quoted ? upperWord(work, at + 1, end - 1) : upperWord(work, at, end), at, end,
                     next < work.size() && work[next] == '('});
            }
            at = end;
        } else {
            ++at;
        }
    }
    return tokens;
}

// An ORDER BY term of a SELECT of PRIME as the server sorts it: a text
// field of PRIME, alone or with ASC or DESC, by its sort key; any other term
// as it stands. aliases are the names the select list gives its columns,
// which ORDER BY means before the fields.
std::string serverOrderTerm(const std::string& term, const std::vector<std::string>& aliases)
{
    const size_t begin = skipSpaces(term, 0);
    size_t nameEnd = begin;
    while (nameEnd < term.size() && isNameChar(term[nameEnd]))
        ++nameEnd;
    const size_t next = skipSpaces(term, nameEnd);
    size_t end = next;
    while (end < term.size() && isWordChar(term[end]))
        ++end;
    const std::string direction = upperWord(term, next, end);
    if (nameEnd == begin || !isNameStart(term[begin]) || skipSpaces(term, end) != term.size() ||
        !(direction.empty() || direction == "ASC" || direction == "DESC"))
        return term;
    const std::string name = term.substr(begin, nameEnd - begin);
    const size_t dot = name.rfind('.');
    const std::string field = dot == std::string::npos ? name : name.substr(dot + 1);
    if (!Schema::isPrimeTextField(field) ||
        std::find(aliases.begin(), aliases.end(), upperWord(field, 0, field.size())) !=
            aliases.end())
        return term;
    return term.substr(0, begin) + Schema::sortKeyOnServer(name) + term.substr(nameEnd);
}

// The ORDER BY terms from begin to end, each as serverOrderTerm makes it.
std::string serverOrderTerms(const std::string& work, size_t begin, size_t end,
                             const std::vector<std::string>& aliases)
{
    std::string terms;
    int depth = 0;
    size_t termBegin = begin;
    for (size_t at = begin; at <= end; ++at) {
        if (at == end || (work[at] == ',' && depth == 0)) {
            terms += serverOrderTerm(work.substr(termBegin, at - termBegin), aliases);
            if (at < end)
                terms += ',';
            termBegin = at + 1;
        } else if (work[at] == '(' || work[at] == ')') {
            depth += work[at] == '(' ? 1 : -1;
        }
    }
    return terms;
}

// Equal keys in one order on every engine: a SELECT of PRIME that orders
// gets the row id as its last key, so that equal keys come in the order the
// companies were loaded (as SQLite's sort, which keeps the order it reads
// rows in, gives them from a scan of the table); one that does not order
// reads in row-id order. On the server its text fields sort by their sort
// keys, also where it orders by the row id itself. A SELECT that groups,
// counts or combines is left alone. Empty when the statement stays as it is.
std::optional<std::string> inRowIdOrder(const std::string& work, SqlDialect::Target target)
{
    size_t statementEnd = 0;
    const std::vector<Token> tokens = topLevelTokens(work, statementEnd);
    if (tokens.empty() || tokens.front().word != "SELECT")
        return std::nullopt;
    std::string table;
    std::vector<std::string> aliases;
    size_t orderTerms = 0; // the index of the first token after ORDER BY
    size_t tail = statementEnd;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.word == "AS" && table.empty() && i + 1 < tokens.size())
            aliases.push_back(tokens[i + 1].word);
        if (isOneOf(token.word, {"DISTINCT", "GROUP", "UNION", "EXCEPT", "INTERSECT", "HAVING"}) ||
            (token.calls && isOneOf(token.word, {"COUNT", "SUM", "MIN", "MAX", "AVG", "TOTAL"})))
            return std::nullopt;
        if (token.word == "FROM" && table.empty() && i + 1 < tokens.size()) {
            if (tokens[i + 1].word != "PRIME")
                return std::nullopt;
            table = work.substr(tokens[i + 1].begin, tokens[i + 1].end - tokens[i + 1].begin);
            size_t alias = i + 2;
            if (alias < tokens.size() && tokens[alias].word == "AS")
                ++alias;
            if (alias < tokens.size() && !isClauseWord(tokens[alias].word))
                table = work.substr(tokens[alias].begin, tokens[alias].end - tokens[alias].begin);
        }
        if (token.word == "BY" && i > 0 && tokens[i - 1].word == "ORDER")
            orderTerms = i + 1;
        if (token.word == "LIMIT" || token.word == "OFFSET") {
            tail = token.begin;
            break;
        }
    }
    if (table.empty())
        return std::nullopt;
    bool endsInRowId = false;
    for (size_t i = orderTerms; orderTerms > 0 && i < tokens.size() && tokens[i].begin < tail;
         ++i) {
        const std::string& word = tokens[i].word;
        endsInRowId = endsInRowId || word == "ROWID" || word.ends_with(".ROWID");
    }
    if (endsInRowId && target != SqlDialect::Target::Postgres)
        return std::nullopt;
    size_t insertAt = tail;
    while (insertAt > 0 && isSpace(work[insertAt - 1]))
        --insertAt;
    const std::string rowId = table + ".rowid";
    const std::string addition =
        endsInRowId ? std::string() : (orderTerms > 0 ? ", " : " ORDER BY ") + rowId;
    if (orderTerms == 0 || target != SqlDialect::Target::Postgres)
        return work.substr(0, insertAt) + addition + work.substr(insertAt);
    const size_t termsBegin = tokens[orderTerms - 1].end;
    return work.substr(0, termsBegin) + serverOrderTerms(work, termsBegin, insertAt, aliases) +
           addition + work.substr(insertAt);
}

// The text from begin to end in upper case without blanks, for comparing
// two orders written apart.
std::string squeezed(const std::string& text, size_t begin, size_t end)
{
    std::string kept;
    for (size_t at = begin; at < end; ++at)
        if (!isSpace(text[at]))
            kept += upper(text[at]);
    return kept;
}

// Where the terms of a top-level ORDER BY begin and end; nothing without one.
std::optional<Span> orderTermsOf(const std::string& statement)
{
    size_t statementEnd = 0;
    const std::vector<Token> tokens = topLevelTokens(statement, statementEnd);
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i].word != "BY" || tokens[i - 1].word != "ORDER")
            continue;
        size_t end = statementEnd;
        for (size_t j = i + 1; j < tokens.size(); ++j)
            if (tokens[j].word == "LIMIT" || tokens[j].word == "OFFSET")
                end = std::min(end, tokens[j].begin);
        return Span{tokens[i].end, end};
    }
    return std::nullopt;
}

// A walk along the first companies in an order, "SELECT ... FROM PRIME WHERE
// rowid IN (SELECT rowid FROM PRIME ORDER BY ... LIMIT n) AND ...", reads
// those companies as a table of their own on the server: it then tests them
// in their order and stops at the rows asked for, instead of joining every
// one of them back to PRIME and sorting what holds. The walk's text fields
// go by their sort keys, which the walked table holds as columns of its own
// (kora_walk_1, ...): a statement ordered as its walk is ordered by those, and
// the server takes the walked rows as they come, without sorting them again.
// Empty for any other statement.
std::optional<std::string> walkAsTable(const std::string& work)
{
    size_t statementEnd = 0;
    const std::vector<Token> tokens = topLevelTokens(work, statementEnd);
    const auto from = std::find_if(tokens.begin(), tokens.end(),
                                   [](const Token& token) { return token.word == "FROM"; });
    if (tokens.empty() || tokens.front().word != "SELECT" || tokens.end() - from < 5 ||
        from[1].word != "PRIME" || from[2].word != "WHERE" || from[3].word != "ROWID" ||
        from[4].word != "IN" || !from[4].calls)
        return std::nullopt;
    const size_t open = work.find('(', from[4].end);
    size_t close = open;
    for (int depth = 0; close < work.size(); ++close) {
        depth += work[close] == '(' ? 1 : (work[close] == ')' ? -1 : 0);
        if (depth == 0)
            break;
    }
    const std::string walked = "SELECT ROWID FROM PRIME ORDER BY ";
    const std::string inner = work.substr(open + 1, close - open - 1);
    const size_t next = skipSpaces(work, close + 1);
    const auto innerTerms = orderTermsOf(inner);
    if (close >= work.size() || upperWord(inner, 0, walked.size()) != walked || !innerTerms ||
        innerTerms->end == inner.size() || !hasWordAt(work, next, "AND") ||
        next + 3 >= work.size() || isWordChar(work[next + 3]))
        return std::nullopt;
    std::string keys;
    std::string order;
    size_t termBegin = innerTerms->begin;
    while (termBegin < innerTerms->end) {
        const size_t comma = std::min(inner.find(',', termBegin), innerTerms->end);
        const size_t begin = skipSpaces(inner, termBegin);
        size_t end = comma;
        while (end > begin && isSpace(inner[end - 1]))
            --end;
        const std::string term = inner.substr(begin, end - begin);
        if (upperWord(term, 0, term.size()) == "ROWID") {
            order += (order.empty() ? "" : ", ") + term;
        } else if (Schema::isPrimeTextField(term)) {
            const std::string key = "kora_walk_" + std::to_string(keys.size() + 1);
            keys += ", " + Schema::sortKeyOnServer(term) + " AS " + key;
            order += (order.empty() ? "" : ", ") + key;
        } else {
            return std::nullopt;
        }
        termBegin = comma + 1;
    }
    std::string rest = work.substr(next + 3);
    if (const auto outerTerms = orderTermsOf(rest);
        outerTerms && squeezed(rest, outerTerms->begin, outerTerms->end) ==
                          squeezed(inner, innerTerms->begin, innerTerms->end))
        rest = rest.substr(0, outerTerms->begin) + " " + order +
               (outerTerms->end < rest.size() ? " " : "") + rest.substr(outerTerms->end);
    return work.substr(0, from[0].end) + " (SELECT *" + keys + " FROM PRIME ORDER BY " + order +
           " " + inner.substr(innerTerms->end) + ") AS PRIME WHERE" + rest;
}

// One walk over a statement whose literals are set aside, making the
// changes PostgreSQL needs (see SqlDialect).
class PostgresRewriter
{
public:
    explicit PostgresRewriter(const std::string& work) : m_in(work) { m_levels.push_back({}); }

    std::string run(int& parameters)
    {
        const size_t start = skipSpaces(m_in, 0);
        if (hasWordAt(m_in, start, "PRAGMA"))
            return "SELECT NULL WHERE FALSE";
        size_t at = 0;
        while (at < m_in.size())
            at = step(at);
        endOrderingTerm(true);
        parameters = m_parameters;
        return std::move(m_out);
    }

private:
    struct Level
    {
        bool derivedTable = false;
        bool ordering = false;
        bool termHasNulls = false;
        int betweens = 0;
    };

    size_t step(size_t at)
    {
        const char c = m_in[at];
        if (c == '"' || c == '[')
            return quotedName(at);
        if (c == '?')
            return parameter(at);
        if (isNameStart(c) && (at == 0 || !isWordChar(m_in[at - 1])))
            return word(at);
        if (isDigit(c) && (at == 0 || (!isWordChar(m_in[at - 1]) && m_in[at - 1] != '.')))
            return number(at);
        if (c == '(') {
            Level level;
            level.derivedTable = m_previous == "FROM" || m_previous == "JOIN";
            m_levels.push_back(level);
        } else if (c == ')') {
            return closing(at);
        } else if (c == ',' || c == ';') {
            endOrderingTerm(c == ';');
        } else if (c == '+' && (m_previous == "(" || m_previous == ",") && at + 1 < m_in.size() &&
                   isNameStart(m_in[at + 1])) {
            // A unary plus before a name only steers SQLite's planner.
            return at + 1;
        }
        m_out += c;
        if (!isSpace(c))
            m_previous = std::string(1, c);
        return at + 1;
    }

    size_t quotedName(size_t at)
    {
        const char close = m_in[at] == '[' ? ']' : '"';
        size_t end = at + 1;
        std::string name;
        while (end < m_in.size()) {
            if (m_in[end] == close && close == '"' && end + 1 < m_in.size() &&
                m_in[end + 1] == '"') {
                name += "\"\"";
                end += 2;
            } else if (m_in[end] == close) {
                break;
            } else {
                name += m_in[end] == '"' ? std::string("\"\"") : std::string(1, lower(m_in[end]));
                ++end;
            }
        }
        m_out += '"' + name + '"';
        m_previous = "NAME";
        return std::min(end + 1, m_in.size());
    }

    size_t parameter(size_t at)
    {
        size_t end = at + 1;
        while (end < m_in.size() && isDigit(m_in[end]))
            ++end;
        const int number =
            end > at + 1 ? std::stoi(m_in.substr(at + 1, end - at - 1)) : m_parameters + 1;
        m_parameters = std::max(m_parameters, number);
        m_out += '$' + std::to_string(number);
        m_previous = "?";
        return end;
    }

    size_t word(size_t at)
    {
        size_t end = at;
        while (end < m_in.size() && isWordChar(m_in[end]))
            ++end;
        const std::string upperCased = upperWord(m_in, at, end);
        Level& level = m_levels.back();
        // ON: the ON CONFLICT of an INSERT that takes its rows from a SELECT.
        if (level.ordering &&
            (upperCased == "LIMIT" || upperCased == "OFFSET" || upperCased == "ON"))
            endOrderingTerm(true);
        if (upperCased == "NULLS")
            level.termHasNulls = true;
        if (upperCased == "BETWEEN")
            ++level.betweens;
        std::string previous = upperCased;
        if (upperCased == "AND" && level.betweens > 0) {
            --level.betweens;
            previous = "AND BETWEEN";
        }
        if (upperCased == "BY" && m_previous == "ORDER") {
            level.ordering = true;
            level.termHasNulls = false;
        }
        m_out.append(m_in, at, end - at);
        m_previous = previous;
        return end;
    }

    // A 1 or 0 alone between a word that takes a condition and the end of
    // the condition is a truth value.
    size_t number(size_t at)
    {
        size_t end = at;
        while (end < m_in.size() && (isDigit(m_in[end]) || m_in[end] == '.'))
            ++end;
        const std::string digits = m_in.substr(at, end - at);
        const bool truthValue = (digits == "1" || digits == "0") &&
                                isOneOf(m_previous, {"WHERE", "AND", "OR", "WHEN", "NOT"}) &&
                                conditionEndsAt(skipSpaces(m_in, end));
        m_out += truthValue ? (digits == "1" ? "TRUE" : "FALSE") : digits;
        m_previous = "NUMBER";
        return end;
    }

    bool conditionEndsAt(size_t at) const
    {
        if (at >= m_in.size() || m_in[at] == ')' || m_in[at] == ';')
            return true;
        return isNameStart(m_in[at]) && endsAClause(upperWord(m_in, at, wordEnd(at)));
    }

    size_t wordEnd(size_t at) const
    {
        while (at < m_in.size() && isWordChar(m_in[at]))
            ++at;
        return at;
    }

    size_t closing(size_t at)
    {
        endOrderingTerm(true);
        const bool derivedTable = m_levels.size() > 1 && m_levels.back().derivedTable;
        if (m_levels.size() > 1)
            m_levels.pop_back();
        m_out += ')';
        m_previous = ")";
        if (derivedTable) {
            const size_t next = skipSpaces(m_in, at + 1);
            const bool named = next < m_in.size() && isNameStart(m_in[next]) &&
                               !endsAClause(upperWord(m_in, next, wordEnd(next)));
            if (!named)
                m_out += " AS kora_rows_" + std::to_string(++m_derivedTables);
        }
        return at + 1;
    }

    // Where a term of ORDER BY ends: NULL sorts first, or last when descending.
    void endOrderingTerm(bool lastTerm)
    {
        Level& level = m_levels.back();
        if (!level.ordering)
            return;
        if (!level.termHasNulls) {
            size_t end = m_out.size();
            while (end > 0 && isSpace(m_out[end - 1]))
                --end;
            size_t begin = end;
            while (begin > 0 && isWordChar(m_out[begin - 1]))
                --begin;
            const bool descending = upperWord(m_out, begin, end) == "DESC";
            m_out.insert(end, descending ? " NULLS LAST" : " NULLS FIRST");
        }
        level.termHasNulls = false;
        level.ordering = !lastTerm;
    }

    const std::string& m_in;
    std::string m_out;
    std::vector<Level> m_levels;
    std::string m_previous; // the last word in upper case, or sign
    int m_parameters = 0;
    int m_derivedTables = 0;
};

} // namespace

std::string SqlDialect::translate(const std::string& sql, Target target, int* parameters)
{
    const bool mayNeedWork =
        target == Target::Postgres || sql.find('*') != std::string::npos ||
        sql.find("NOT") != std::string::npos || sql.find("not") != std::string::npos ||
        sql.find("PRIME") != std::string::npos || sql.find("prime") != std::string::npos;
    if (!mayNeedWork)
        return sql;

    std::vector<Span> literals;
    std::string work = setAsideLiterals(sql, literals);
    if (target == Target::Postgres) {
        if (auto walk = walkAsTable(work))
            work = std::move(*walk);
    }
    const auto ordered = inRowIdOrder(work, target);
    auto rewritten = Rewriter(ordered ? *ordered : work, target).run();
    if (!rewritten)
        rewritten = ordered;
    if (target == Target::Postgres) {
        int count = 0;
        rewritten = PostgresRewriter(conflictClauses(rewritten ? *rewritten : work)).run(count);
        if (parameters)
            *parameters = count;
    }
    if (!rewritten)
        return sql;
    return literals.empty() ? std::move(*rewritten) : restoreLiterals(*rewritten, sql, literals);
}

} // namespace kora
