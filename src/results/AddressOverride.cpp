#include "results/AddressOverride.h"

#include "base/Blanks.h"
#include "results/CityStateZip.h"

namespace kora {

namespace {

Value partValue(const std::string& part)
{
    return part.empty() ? Value() : Value(part);
}

} // namespace

bool AddressOverride::isOn(std::string_view user1)
{
    return trimBlanks(user1).starts_with("!&");
}

CompanyRecord::FieldValues AddressOverride::cityFields(const std::string& cityStateZip)
{
    const CityStateZip parts = CityStateZip::split(cityStateZip);
    return {{"CITY", partValue(parts.city)},
            {"ST", partValue(parts.state)},
            {"ZIP", partValue(parts.zip)},
            {"ZIPEXT", partValue(parts.zipExtension)}};
}

AddressOverride::Entry AddressOverride::entry(const std::string& field, const std::string& text,
                                              bool overrideOn)
{
    Entry entry{{{field, partValue(text)}}, {}};
    if (!overrideOn)
        return entry;
    if (field == "User2") {
        if (text.empty())
            entry.problem = "Missing Street Address";
        else
            entry.fields.emplace_back("STREET", Value(text));
    } else if (field == "User3") {
        entry.problem = CityStateZip::split(text).problem();
        if (entry.problem.empty())
            for (auto& cityField : cityFields(text))
                entry.fields.push_back(std::move(cityField));
    }
    return entry;
}

} // namespace kora
