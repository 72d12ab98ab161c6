#pragma once

#include "lookup/FieldCatalogue.h"
#include "lookup/SQLPARAMETER.h"

#include <string>

namespace kora::test {

// A criterion as the editor accepts it for the field at a catalogue position.
inline SQLPARAMETER criterion(int position, const std::string& from, const std::string& thru,
                              bool exclude = false)
{
    return {"",   FieldCatalogue::caption(position, "PA"), from,
            thru, FieldCatalogue::code(position),          exclude};
}

} // namespace kora::test
