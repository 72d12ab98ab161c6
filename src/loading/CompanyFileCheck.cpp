#include "loading/CompanyFileCheck.h"

#include "loading/RecordValues.h"
#include "base/RowKey.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kora {

namespace {

// Blanks or zeros: an empty field, as the loads read an empty slot.
bool isEmpty(std::string_view field)
{
    return std::all_of(field.begin(), field.end(), [](char c) { return c == ' ' || c == '0'; });
}

} // namespace

CompanyFileCheck::CompanyFileCheck(UpdateFile& file, bool newYork) : m_newYork(newYork)
{
    using namespace CompanyRecord;
    std::vector<std::uint64_t> keys;
    while (file.next()) {
        if (file.record() <= std::string_view("!"))
            continue;
        ++m_used;
        if (!fitsLayout(file)) {
            ++m_outOfLayout;
            if (m_firstOutOfLayout == 0)
                m_firstOutOfLayout = file.recordNumber();
        }
        keys.push_back(
            newYork ? rowKey({RecordValues::newYorkFile(file, kNyFile), file.field(kNySequence)})
                    : rowKey({file.field(kFile), file.field(kSequence)}));
    }
    std::sort(keys.begin(), keys.end());
    m_companies = std::unique(keys.begin(), keys.end()) - keys.begin();
    file.rewind();
}

bool CompanyFileCheck::fitsLayout(const UpdateFile& file) const
{
    using namespace CompanyRecord;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        // New York writes the issue and expiration dates month first.
        for (const auto& [field, yearFirst] :
             {std::pair{kSlotIssue, !m_newYork}, std::pair{kSlotEffective, true},
              std::pair{kSlotExpire, !m_newYork}}) {
            const std::string_view date = file.field(slotField(slot, field));
            if (!isEmpty(date) && !RecordValues::isDate(date, yearFirst))
                return false;
        }
        const std::string_view mod = file.field(slotField(slot, kSlotMod));
        if (!isEmpty(mod) && !RecordValues::digits(mod))
            return false;
    }
    return true;
}

} // namespace kora
