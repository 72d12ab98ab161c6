#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kora {

// The options of one kora-batch command: "--name value" pairs and bare flags.
class BatchOptions
{
public:
    // valued: options that take a value; flags: options that stand alone.
    BatchOptions(const std::vector<std::string>& arguments, const std::set<std::string>& valued,
                 const std::set<std::string>& flags);

    bool has(const std::string& name) const;
    std::string value(const std::string& name, const std::string& fallback = "") const;
    // The value of an option the command cannot do without.
    std::string required(const std::string& name) const;
    // The program folder: --folder, or the current folder.
    std::string folder() const;
    // --state, checked against the six state codes.
    std::string state() const;

private:
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
};

} // namespace kora
