#pragma once

#include "FixedRecord.h"

#include <string>

namespace kora::test {

// A standard company record with its key and name.
inline FixedRecord company(const std::string& file, const std::string& sequence,
                           const std::string& name, const std::string& state = "PA")
{
    FixedRecord record(502);
    record.put(1, state).put(3, file).put(14, sequence).put(28, name);
    return record;
}

// Fills mod slot 0-4 of a company record: three six-digit dates and the mod in thousandths.
inline void putMod(FixedRecord& record, int slot, const std::string& issue,
                   const std::string& effective, const std::string& expire, const std::string& mod)
{
    const int start = 195 + 22 * slot;
    record.put(start, issue).put(start + 6, effective).put(start + 12, expire).put(start + 18, mod);
}

} // namespace kora::test
