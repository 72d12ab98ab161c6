#include "output/ExportDestination.h"

#include "base/Blanks.h"

#include <filesystem>
#include <system_error>

namespace kora {

std::optional<std::string> ExportDestination::typedFile(const std::string& box,
                                                        const std::string& folder)
{
    const std::filesystem::path typed(std::string(trimBlanks(box)));
    const std::string name = typed.filename().string();
    if (name.empty() || name.front() == '.')
        return std::nullopt;
    const std::filesystem::path file = typed.is_absolute() ? typed : folder / typed;
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        return std::nullopt;
    return file.lexically_normal().string();
}

std::string ExportDestination::folderOf(const std::string& file)
{
    return std::filesystem::path(file).parent_path().string();
}

std::string ExportDestination::doneMessage(long long companies, const std::string& file)
{
    return "Export done: " + std::to_string(companies) +
           (companies == 1 ? " company" : " companies") + " written to " + file;
}

} // namespace kora
