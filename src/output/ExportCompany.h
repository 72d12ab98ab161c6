#pragma once

#include "database/Value.h"

#include <string>
#include <vector>

namespace kora {

// The values one company gives an export line, overrides applied, before a
// layout trims, pads or quotes them.
struct ExportCompany
{
    struct Mod
    {
        std::string expire; // MM/DD/YYYY, empty for the placeholder dates
        Value mod;          // as stored
    };

    struct Class
    {
        std::string code;
        std::string description; // DESC of the class list as stored, empty when not listed
    };

    std::string key; // FILE-SEQUENCE
    std::string name1;
    std::string name2;
    std::string street;
    std::string city;
    std::string st;
    std::string zip;
    std::string phone;
    std::string fax;
    std::string title;
    std::string contact;
    std::string sic;
    std::string employees;
    std::string sales;
    std::string employeesText; // the bands' DESCRIPTION, read for the workbook alone
    std::string salesText;
    std::string user1;
    std::string user2;
    std::string user3;
    std::vector<Mod> mods;              // newest first, at most the layout's slots
    std::vector<Class> classes;         // at most the layout's slots
    std::vector<std::string> newJersey; // NJPPAP ... ARTOTLOSS; empty for other states
    std::string followUpDue;            // MM/DD/YYYY; read for the workbook alone, as the text
    std::string followUpText;
};

} // namespace kora
