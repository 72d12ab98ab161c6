#include "database/SqlDialect.h"

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

// One walk over a statement whose literals are set aside, rewriting
// "DELETE * FROM" and "x NOT = y". Each look back from a NOT covers only the
// operand standing right before it, so the walk stays linear in the length.
class Rewriter
{
public:
    explicit Rewriter(const std::string& work) : m_in(work) {}

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
    std::string m_out;
    size_t m_done = 0; // the text before this position is settled
    bool m_rewritten = false;
    // The first "]" after the last right operand that began with "[", kept so
    // that the rest of the statement is searched once at most.
    std::optional<size_t> m_closingBracket;
};

} // namespace

std::string SqlDialect::translate(const std::string& sql)
{
    const bool mayNeedWork = sql.find('*') != std::string::npos ||
                             sql.find("NOT") != std::string::npos ||
                             sql.find("not") != std::string::npos;
    if (!mayNeedWork)
        return sql;

    std::vector<Span> literals;
    const std::string work = setAsideLiterals(sql, literals);
    auto rewritten = Rewriter(work).run();
    if (!rewritten)
        return sql;
    return literals.empty() ? std::move(*rewritten) : restoreLiterals(*rewritten, sql, literals);
}

} // namespace kora
