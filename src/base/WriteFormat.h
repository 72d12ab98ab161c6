#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kora {

// Lines of sequential text files in the quoted, comma-separated "write" form:
// texts in double quotes (a quote inside is doubled), yes/no as #TRUE#/#FALSE#,
// each line ended by CR LF.
class WriteFormat
{
public:
    static std::string text(const std::string& value);
    static std::string boolean(bool value);
    // Fields already in their written form, joined by commas and ended by CR LF.
    static std::string line(const std::vector<std::string>& fields);
    // The fields of one line (without its line end), quotes removed and doubled
    // quotes read as one; #TRUE# and #FALSE# stay as they are written. No value
    // when the line is malformed (an unclosed quote).
    static std::optional<std::vector<std::string>> fields(const std::string& line);
};

} // namespace kora
