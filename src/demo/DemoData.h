#pragma once

#include <filesystem>
#include <string>

namespace kora {

// Synthetic update files for one state database that look like a real
// delivery: employers with names, addresses, contacts and phone numbers of the
// state, their mods, classes and associated companies, and the state's
// counties, SIC codes and class list. The same state, count and date always
// give the same files.
class DemoData
{
public:
    // The latest delivery, or the one before it: that holds a few groups of
    // companies less and lacks the newest mod of a few others.
    enum class Delivery
    {
        Earlier,
        Latest,
    };

    // companies: employers in the latest company file, members of an associated
    // group counted one by one. today (YYYY-MM-DD) dates the newest mods.
    DemoData(std::string state, long long companies, const std::string& today,
             Delivery delivery = Delivery::Latest);

    // Writes every update file of the state into the folder, SIC.DAT and
    // CLASSES.DAT included. Throws std::runtime_error when a file cannot be written.
    void writeUpdateFiles(const std::filesystem::path& folder) const;

private:
    std::string m_state;
    long long m_companies;
    Delivery m_delivery;
    int m_year;
    int m_month;
    int m_day;
};

} // namespace kora
