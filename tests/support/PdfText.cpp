#include "support/PdfText.h"

#include <cstdio>
#include <regex>

namespace kora::test {

namespace {

std::string output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

std::string quoted(const std::string& path)
{
    std::string text = "'";
    for (const char c : path)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

} // namespace

std::string pdfText(const std::string& path)
{
    return output("pdftotext -layout " + quoted(path) + " - 2>/dev/null");
}

int pdfPages(const std::string& path)
{
    std::smatch match;
    const std::string info = output("pdfinfo " + quoted(path) + " 2>/dev/null");
    if (!std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)")))
        return 0;
    return std::stoi(match[1]);
}

} // namespace kora::test
