#include "output/ReportDefinition.h"

#include <fstream>
#include <sstream>

namespace kora {

namespace {

// The words of one line: blanks separate, "quoted texts" stay whole, '#' ends it.
std::vector<std::string> wordsOf(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                throw std::invalid_argument("a quote is not closed");
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const size_t end = line.find_first_of(" \t\r", i);
            words.push_back(line.substr(i, end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return words;
}

double number(const std::vector<std::string>& words, size_t index)
{
    if (index >= words.size())
        throw std::invalid_argument("a value is missing");
    return std::stod(words[index]);
}

void need(const std::vector<std::string>& words, size_t count)
{
    if (words.size() < count)
        throw std::invalid_argument("a value is missing");
}

ReportDefinition::Item item(const std::vector<std::string>& words)
{
    using Kind = ReportDefinition::Item::Kind;
    ReportDefinition::Item item;
    const std::string& kind = words[0];
    item.x = number(words, 1);
    item.y = number(words, 2);
    if (kind == "text") {
        need(words, 5);
        item.font = words[3];
        item.texts = {words[4]};
        item.right = words.size() > 5 && words[5] == "right";
    } else if (kind == "lines") {
        need(words, 7);
        item.kind = Kind::Lines;
        item.width = number(words, 3);
        item.step = number(words, 4);
        item.font = words[5];
        item.texts.assign(words.begin() + 6, words.end());
    } else if (kind == "rows") {
        need(words, 8);
        item.kind = Kind::Rows;
        item.step = number(words, 3);
        item.first = static_cast<int>(number(words, 4));
        item.last = static_cast<int>(number(words, 5));
        item.font = words[6];
        item.texts = {words[7]};
        if (words.size() > 8 && words[8] == "right")
            item.right = true;
        else if (words.size() > 8)
            item.width = number(words, 8);
    } else if (kind == "rule") {
        item.kind = Kind::Rule;
        item.width = number(words, 3);
    } else if (kind == "wrap") {
        need(words, 6);
        item.kind = Kind::Wrap;
        item.width = number(words, 3);
        item.font = words[4];
        item.texts = {"{" + words[5] + "}"};
        item.last = words.size() > 6 ? static_cast<int>(number(words, 6)) : 0;
    } else {
        throw std::invalid_argument("unknown statement " + kind);
    }
    return item;
}

} // namespace

ReportDefinition ReportDefinition::parse(const std::string& text)
{
    ReportDefinition definition;
    Band* band = nullptr;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        try {
            const auto words = wordsOf(line);
            if (words.empty())
                continue;
            const std::string& word = words[0];
            if (word == "page") {
                definition.pageWidth = number(words, 1);
                definition.pageHeight = number(words, 2);
            } else if (word == "margins") {
                definition.top = number(words, 1);
                definition.left = number(words, 2);
                definition.bottom = number(words, 3);
                definition.right = number(words, 4);
            } else if (word == "font") {
                need(words, 4);
                definition.fonts[words[1]] = {words[2], number(words, 3),
                                              words.size() > 4 && words[4] == "bold"};
            } else if (word == "grid") {
                definition.columns = static_cast<int>(number(words, 1));
                definition.rows = static_cast<int>(number(words, 2));
                definition.cellWidth = number(words, 3);
                definition.cellHeight = number(words, 4);
                definition.columnGap = number(words, 5);
                definition.rowGap = number(words, 6);
                definition.perPage = definition.columns * definition.rows;
            } else if (word == "per-page") {
                definition.perPage = static_cast<int>(number(words, 1));
            } else if (word == "header" || word == "footer" || word == "record" ||
                       word == "continued") {
                band = word == "header"      ? &definition.header
                       : word == "footer"    ? &definition.footer
                       : word == "continued" ? &definition.continued
                                             : &definition.record;
                band->height = number(words, 1);
            } else {
                if (!band)
                    throw std::invalid_argument(word + " stands outside a band");
                band->items.push_back(item(words));
                if (!band->items.back().font.empty() &&
                    !definition.fonts.count(band->items.back().font))
                    throw std::invalid_argument("unknown font " + band->items.back().font);
            }
        } catch (const std::exception& error) {
            throw ParseError("line " + std::to_string(lineNumber) + ": " + error.what());
        }
    }
    if (definition.perPage < 1)
        throw ParseError("per-page must be at least 1");
    return definition;
}

ReportDefinition ReportDefinition::load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw ParseError("cannot open " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

} // namespace kora
