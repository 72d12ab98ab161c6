#include "output/ExportLine.h"

#include "base/Blanks.h"
#include "base/StateRules.h"

namespace kora {

namespace {

constexpr int kFixedModSlots = 8;
constexpr int kFixedClassSlots = 10;

std::string trimmed(const std::string& text)
{
    return std::string(trimBlanks(text));
}

void pad(std::string& line, const std::string& value, size_t width)
{
    line.append(value, 0, width);
    if (value.size() < width)
        line.append(width - value.size(), ' ');
}

} // namespace

std::vector<std::string> ExportLine::headerNames(const ExportChoice& choice, bool newJersey)
{
    std::vector<std::string> names = {"FILE",      "NAME1", "NAME2", "STREET", "CITY",    "STATE",
                                      "ZIP",       "PHONE", "FAX",   "TITLE",  "CONTACT", "SIC",
                                      "EMPLOYEES", "SALES", "User1", "User2",  "User3"};
    for (int slot = 1; slot <= choice.modSlots(); ++slot) {
        names.push_back("EXPIRE" + std::to_string(slot));
        names.push_back("MOD" + std::to_string(slot));
    }
    for (int slot = 1; slot <= choice.classSlots(); ++slot) {
        names.push_back("CLASS" + std::to_string(slot));
        names.push_back("CLASSDESC" + std::to_string(slot));
    }
    if (newJersey)
        names.insert(names.end(), StateRules::kAssignedRiskFields.begin(),
                     StateRules::kAssignedRiskFields.end());
    return names;
}

std::vector<std::string> ExportLine::delimitedValues(const ExportCompany& company,
                                                     const ExportChoice& choice)
{
    std::vector<std::string> values = {company.key,
                                       trimmed(company.name1),
                                       trimmed(company.name2),
                                       trimmed(company.street),
                                       trimmed(company.city),
                                       trimmed(company.st),
                                       trimmed(company.zip),
                                       company.phone,
                                       trimmed(company.fax),
                                       trimmed(company.title),
                                       trimmed(company.contact),
                                       company.sic,
                                       company.employees,
                                       company.sales,
                                       company.user1,
                                       company.user2,
                                       company.user3};
    for (size_t slot = 0; slot < static_cast<size_t>(choice.modSlots()); ++slot) {
        const bool filled = slot < company.mods.size();
        values.push_back(filled ? company.mods[slot].expire : "");
        values.push_back(filled ? company.mods[slot].mod.toString() : "");
    }
    for (size_t slot = 0; slot < static_cast<size_t>(choice.classSlots()); ++slot) {
        const bool filled = slot < company.classes.size();
        values.push_back(filled ? company.classes[slot].code : "");
        values.push_back(filled ? trimmed(company.classes[slot].description) : "");
    }
    values.insert(values.end(), company.newJersey.begin(), company.newJersey.end());
    return values;
}

std::string ExportLine::delimited(const std::vector<std::string>& values, ExportLayout layout)
{
    const char* separator = layout == ExportLayout::Tab ? "\"\t\"" : "\",\"";
    std::string line = "\"";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += separator;
        line += values[i];
    }
    return line + "\"\r\n";
}

std::string ExportLine::fixed(const ExportCompany& company)
{
    std::string line = company.key;
    line.reserve(1024);
    for (const auto& [value, width] : {std::pair{&company.name1, 40},
                                       {&company.name2, 38},
                                       {&company.street, 40},
                                       {&company.city, 30},
                                       {&company.st, 2},
                                       {&company.zip, 10},
                                       {&company.sic, 4},
                                       {&company.employees, 1},
                                       {&company.sales, 1},
                                       {&company.user1, 1},
                                       {&company.user2, 1},
                                       {&company.user3, 1},
                                       {&company.phone, 12},
                                       {&company.fax, 12},
                                       {&company.title, 30},
                                       {&company.contact, 30}})
        pad(line, *value, static_cast<size_t>(width));
    for (size_t slot = 0; slot < kFixedModSlots; ++slot) {
        const bool filled = slot < company.mods.size();
        pad(line, filled ? company.mods[slot].expire : "", 10);
        pad(line, filled ? company.mods[slot].mod.toString() : "", 5);
    }
    for (size_t slot = 0; slot < kFixedClassSlots; ++slot) {
        const bool filled = slot < company.classes.size();
        pad(line, filled ? company.classes[slot].code : "", 4);
        pad(line, filled ? company.classes[slot].description : "", 50);
    }
    static const size_t newJerseyWidths[] = {3, 3, 5, 9, 9, 9};
    for (size_t i = 0; i < company.newJersey.size(); ++i) {
        const std::string& value = company.newJersey[i];
        pad(line, value > " " ? value : " ", newJerseyWidths[i]);
    }
    return line + "\r\n";
}

} // namespace kora
