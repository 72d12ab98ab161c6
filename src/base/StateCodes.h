#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kora {

// The state databases, in the order the workspace window lists them.
inline constexpr std::array<std::string_view, 6> kStateCodes = {"DE", "NJ", "NY", "PA", "PM", "DM"};

inline bool isStateCode(std::string_view code)
{
    for (auto state : kStateCodes)
        if (state == code)
            return true;
    return false;
}

// File names of a state's databases inside the program folder.
inline std::string stateDatabaseName(std::string_view state)
{
    return "KORA" + std::string(state) + ".MDB";
}

inline std::string backupDatabaseName(std::string_view state)
{
    return "BACKUP" + std::string(state) + ".MDB";
}

inline constexpr std::string_view kSetupDatabaseName = "KORAI.MDB";
// The empty scratch report database kept in the program folder as a template.
inline constexpr std::string_view kReportDatabaseName = "REPORT.MDB";
// The connect string of the setup database.
inline constexpr std::string_view kSetupConnect = ";PWD=TRZN382pbk";

} // namespace kora
