#include "batch/BatchOptions.h"

#include "base/Folders.h"
#include "base/StateCodes.h"
#include "batch/UsageError.h"

#include <filesystem>

namespace kora {

BatchOptions::BatchOptions(const std::vector<std::string>& arguments,
                           const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (flags.count(argument)) {
            m_flags.insert(argument);
        } else if (valued.count(argument)) {
            if (i + 1 >= arguments.size())
                throw UsageError(argument + " needs a value");
            if (m_values.count(argument))
                throw UsageError(argument + " is given twice");
            m_values[argument] = arguments[++i];
        } else {
            throw UsageError("unknown option " + argument);
        }
    }
    Folders::shareWithGroup(folder());
}

bool BatchOptions::has(const std::string& name) const
{
    return m_flags.count(name) || m_values.count(name);
}

std::string BatchOptions::value(const std::string& name, const std::string& fallback) const
{
    auto it = m_values.find(name);
    return it == m_values.end() ? fallback : it->second;
}

std::string BatchOptions::required(const std::string& name) const
{
    auto it = m_values.find(name);
    if (it == m_values.end())
        throw UsageError(name + " is required");
    return it->second;
}

std::string BatchOptions::folder() const
{
    return value("--folder", std::filesystem::current_path().string());
}

std::string BatchOptions::state() const
{
    const std::string state = required("--state");
    if (!isStateCode(state))
        throw UsageError("--state must be one of DE NJ NY PA PM DM, not " + state);
    return state;
}

} // namespace kora
