#include "base/Settings.h"

#include "base/AtomicFile.h"

#include "base/WriteFormat.h"

#include <fstream>

namespace kora {

std::string Settings::path(const std::string& temporaryFolder)
{
    return temporaryFolder + "KORA.INI";
}

bool Settings::write(const std::string& temporaryFolder, const Choice& choice)
{
    if (temporaryFolder.empty())
        return false;
    return AtomicFile::write(
        path(temporaryFolder),
        WriteFormat::line({WriteFormat::text(choice.workspace), WriteFormat::text(choice.state)}));
}

std::optional<Settings::Choice> Settings::read(const std::string& temporaryFolder)
{
    if (temporaryFolder.empty())
        return std::nullopt;
    std::ifstream in(path(temporaryFolder), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const auto fields = WriteFormat::fields(line);
    if (!fields || fields->size() < 2)
        return std::nullopt;
    return Choice{(*fields)[0], (*fields)[1]};
}

} // namespace kora
