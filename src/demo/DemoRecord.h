#pragma once

#include "loading/UpdateLayout.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace kora {

// A fixed-width record of an update file being written: blanks, with each
// field cut or padded to its width.
class DemoRecord
{
public:
    explicit DemoRecord(int length) : m_text(static_cast<size_t>(length), ' ') {}

    void put(RecordField field, std::string_view value)
    {
        const auto width = static_cast<size_t>(field.width);
        m_text.replace(static_cast<size_t>(field.position - 1), std::min(value.size(), width),
                       value.substr(0, width));
    }
    void clear(RecordField field)
    {
        put(field, std::string(static_cast<size_t>(field.width), ' '));
    }
    const std::string& text() const { return m_text; }

    // The value with leading zeros to the width: digits(7, 3) is "007".
    static std::string digits(long long value, int width);

private:
    std::string m_text;
};

} // namespace kora
