#include "lookup/LookupReader.h"

#include "lookup/CriterionRules.h"
#include "lookup/FieldCatalogue.h"
#include "lookup/LookupFile.h"

#include <filesystem>

namespace kora {

namespace {

LookupMessage refusal(std::string text)
{
    return {std::move(text), "Parameter Verification", LookupMessage::Icon::Exclamation};
}

// The first criterion that cannot be run, told as the editor tells it.
std::optional<LookupMessage> firstFault(const std::string& fileName,
                                        const std::vector<SQLPARAMETER>& criteria)
{
    if (criteria.size() > CriterionRules::kMostCriteria)
        return LookupReader::tooManyCriteriaMessage(fileName);
    for (const SQLPARAMETER& criterion : criteria) {
        const int position = FieldCatalogue::position(criterion.SQLEXPR);
        if (position < 0)
            return LookupReader::unknownFieldMessage(fileName, criterion.SQLEXPR);
        if (std::string message =
                CriterionRules::valueMessage(position, criterion.SQLFROM, criterion.SQLTHRU);
            !message.empty())
            return refusal(std::move(message));
    }
    return std::nullopt;
}

} // namespace

LookupReader::Read LookupReader::read(const std::string& path)
{
    const std::string fileName = std::filesystem::path(path).filename().string();
    auto criteria = LookupFile::read(path);
    if (!criteria)
        return {{}, LookupFile::unreadableMessage(fileName)};
    if (auto fault = firstFault(fileName, *criteria))
        return {{}, std::move(fault)};
    return {std::move(*criteria), std::nullopt};
}

LookupMessage LookupReader::unknownFieldMessage(const std::string& fileName,
                                                const std::string& code)
{
    return refusal("The lookup file " + fileName + " holds the field code \"" + code +
                   "\", which is not a lookup field.");
}

LookupMessage LookupReader::tooManyCriteriaMessage(const std::string& fileName)
{
    return refusal("The lookup file " + fileName + " holds more than " +
                   std::to_string(CriterionRules::kMostCriteria) + " criteria.");
}

} // namespace kora
