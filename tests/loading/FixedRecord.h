#pragma once

#include <string>
#include <string_view>

namespace kora::test {

// A fixed-length update record: blanks with texts put at positions counted from 1.
class FixedRecord
{
public:
    explicit FixedRecord(size_t length) : m_text(length, ' ') {}

    FixedRecord& put(int position, std::string_view text)
    {
        m_text.replace(static_cast<size_t>(position - 1), text.size(), text);
        return *this;
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace kora::test
