#pragma once

#include "base/LookupMessage.h"
#include "lookup/SQLPARAMETER.h"

#include <optional>
#include <string>
#include <vector>

namespace kora {

// A lookup file read to be run or edited. The file may have been written by
// hand or by another program, so it is taken only when every line names a
// field of the catalogue and holds values the editor would have accepted for
// that field: a value can then neither hang the building of the statement
// nor overflow it.
class LookupReader
{
public:
    struct Read
    {
        std::vector<SQLPARAMETER> criteria;
        // The message to tell instead when the file is not taken.
        std::optional<LookupMessage> refusal;
    };

    static Read read(const std::string& path);

    static LookupMessage unknownFieldMessage(const std::string& fileName, const std::string& code);
    static LookupMessage tooManyCriteriaMessage(const std::string& fileName);
};

} // namespace kora
