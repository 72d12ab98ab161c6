#include "support/PdfText.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace kora::test {

namespace {

// What a poppler tool prints for the file (a page from 1, or every page).
std::string output(const std::string& tool, const std::string& path, int page = 0)
{
    std::string command =
        tool + (page ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "") + " '";
    for (const char c : path)
        command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "' " + std::string(tool == "pdfinfo" ? "" : "- ") + "2>/dev/null";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

} // namespace

std::string pdfText(const std::string& path, int page)
{
    return output("pdftotext -layout", path, page);
}

int pdfPages(const std::string& path)
{
    std::smatch match;
    const std::string info = output("pdfinfo", path);
    return std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(match[1]) : 0;
}

std::vector<PdfWord> pdfWords(const std::string& path, int page)
{
    const std::string html = output("pdftotext -bbox", path, page);
    static const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                 "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    static const std::pair<std::regex, const char*> entities[] = {{std::regex("&lt;"), "<"},
                                                                  {std::regex("&gt;"), ">"},
                                                                  {std::regex("&quot;"), "\""},
                                                                  {std::regex("&apos;"), "'"},
                                                                  {std::regex("&amp;"), "&"}};
    std::vector<PdfWord> words;
    for (auto match = std::sregex_iterator(html.begin(), html.end(), word);
         match != std::sregex_iterator(); ++match) {
        std::string text = (*match)[5];
        for (const auto& [entity, character] : entities)
            text = std::regex_replace(text, entity, character);
        words.push_back({text, std::stod((*match)[1]), std::stod((*match)[2]),
                         std::stod((*match)[3]), std::stod((*match)[4])});
    }
    return words;
}

std::vector<PdfWord> wordsSpelling(const std::vector<PdfWord>& words, const std::string& text)
{
    std::vector<std::string> wanted;
    for (size_t from = 0; from <= text.size();) {
        const size_t blank = std::min(text.find(' ', from), text.size());
        wanted.push_back(text.substr(from, blank - from));
        from = blank + 1;
    }
    for (size_t first = 0; first + wanted.size() <= words.size(); ++first)
        if (std::equal(wanted.begin(), wanted.end(), words.begin() + long(first),
                       [](const std::string& w, const PdfWord& word) { return w == word.text; }))
            return {words.begin() + long(first), words.begin() + long(first + wanted.size())};
    return {};
}

} // namespace kora::test
