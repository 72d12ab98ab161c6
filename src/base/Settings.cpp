#include "base/Settings.h"

#include "base/WriteFormat.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace kora {

std::string Settings::path(const std::string& temporaryFolder)
{
    return temporaryFolder + "KORA.INI";
}

bool Settings::write(const std::string& temporaryFolder, const Choice& choice)
{
    if (temporaryFolder.empty())
        return false;
    // Written beside the file and renamed over it, so a failed write never
    // leaves half a line behind.
    const std::string target = path(temporaryFolder);
    const std::string scratch = target + "." + std::to_string(getpid());
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out << WriteFormat::line(
            {WriteFormat::text(choice.workspace), WriteFormat::text(choice.state)});
        if (!out.flush()) {
            std::remove(scratch.c_str());
            return false;
        }
    }
    if (std::rename(scratch.c_str(), target.c_str()) != 0) {
        std::remove(scratch.c_str());
        return false;
    }
    return true;
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
