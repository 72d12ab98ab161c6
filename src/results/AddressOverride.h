#pragma once

#include "results/CompanyRecord.h"

#include <string>
#include <string_view>

namespace kora {

// The user's own address of a company: a User1 that begins with "!&" (after
// blanks) makes User2 the street and User3 the City ST Zip line, stored over
// the delivered STREET, CITY, ST, ZIP and ZIPEXT.
class AddressOverride
{
public:
    static bool isOn(std::string_view user1);

    // The PRIME fields a City ST Zip line gives; a part that is not there
    // is stored as no value.
    static CompanyRecord::FieldValues cityFields(const std::string& cityStateZip);

    struct Entry
    {
        CompanyRecord::FieldValues fields;
        std::string problem; // why the address was not taken; empty when it was
    };
    // What storing a typed user field writes: the field itself and, with the
    // override on, the address fields that follow from it.
    static Entry entry(const std::string& field, const std::string& text, bool overrideOn);
};

} // namespace kora
