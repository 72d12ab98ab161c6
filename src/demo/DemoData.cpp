#include "demo/DemoData.h"

#include "base/StableHash.h"
#include "base/StateRules.h"
#include "demo/DemoEmployers.h"
#include "demo/DemoOutputFile.h"
#include "loading/DataLoader.h"
#include "loading/UpdateLayout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace kora {

namespace {

using namespace demo;
using Days = std::chrono::sys_days;
using Mod = DemoEmployers::Mod;
using Group = DemoEmployers::Group;
using Employer = DemoEmployers::Employer;

// The three pieces (3, 2 and 2 digits) that New York files hold a file number in.
std::string_view filePiece(const std::string& file, int piece)
{
    return std::string_view(file).substr(piece == 0 ? 0 : static_cast<size_t>(1 + 2 * piece),
                                         piece == 0 ? 3 : 2);
}

// What the earlier delivery holds of a group: the later one adds some groups
// and a newest mod to some others, so that its load has changes to record.
enum class Arrival
{
    Delivered,
    NewCompanies,
    NewMod,
};

class Generator
{
public:
    Generator(const std::string& state, long long companies, Days today, bool earlier)
        : m_state(state), m_newYork(StateRules::isNewYork(state)), m_earlier(earlier),
          m_companies(companies), m_today(today), m_geography(DemoGeography::forState(state)),
          m_random(0x4B4F5241ull * 131 + static_cast<unsigned char>(state[0]) * 257 +
                   static_cast<unsigned char>(state[1])),
          m_employers(state, today, m_geography, m_random)
    {
    }

    void write(const std::filesystem::path& folder)
    {
        writeReferenceFiles(folder);
        DemoOutputFile companyFile(folder / DataLoader::companyFileName(m_state));
        DemoOutputFile classFile(folder / DataLoader::classFileName(m_state));
        std::unique_ptr<DemoOutputFile> addressFile;
        if (m_newYork)
            addressFile = std::make_unique<DemoOutputFile>(folder / DataLoader::kAddressFileName);
        // File numbers rise in steps that spread the employers over seven digits.
        const int stride = static_cast<int>(std::clamp(8'000'000 / m_companies, 1LL, 1000LL));
        long long fileNumber = 1'000'000 + m_random.below(1000);
        for (long long written = 0; written < m_companies;) {
            fileNumber += 1 + m_random.below(2 * stride - 1);
            const int members = m_random.chance(0.07) ? 2 + m_random.below(3) : 1;
            const Group group = m_employers.makeGroup(DemoRecord::digits(fileNumber, 7));
            m_arrival = m_earlier ? arrival(group) : Arrival::Delivered;
            for (int member = 0; member < members && written < m_companies; ++member, ++written) {
                const Employer employer = m_employers.makeEmployer(group, member);
                writeCompany(companyFile, group, employer, members > 1);
                writeClasses(classFile, group, employer);
                if (addressFile && m_random.chance(0.8))
                    writeAddress(*addressFile, group, employer);
            }
        }
        companyFile.close();
        classFile.close();
        if (addressFile)
            addressFile->close();
    }

private:
    // About one group in twenty-five arrives with the later delivery only,
    // and about one in twelve of those with two mods or more gets its newest
    // mod there. The choice hangs on the file number alone, so that the
    // random choices of both deliveries stay the same.
    Arrival arrival(const Group& group) const
    {
        const std::uint64_t draw = stableHash(m_state + group.file) % 100;
        if (draw < 4)
            return Arrival::NewCompanies;
        if (draw < 12 && group.mods.size() >= 2)
            return Arrival::NewMod;
        return Arrival::Delivered;
    }

    // Writes a record of the group being made, unless it is still to arrive.
    void deliver(DemoOutputFile& out, const DemoRecord& record)
    {
        if (m_arrival != Arrival::NewCompanies)
            out.write(record);
    }

    void writeReferenceFiles(const std::filesystem::path& folder)
    {
        DemoOutputFile sic(folder / DataLoader::kSicFileName);
        for (const auto& [code, description] : kSicCodes) {
            DemoRecord record(SicRecord::kLength);
            // Major groups are delivered with blanks around them.
            record.put(SicRecord::kCode, std::string_view(code).size() == 2
                                             ? " " + std::string(code)
                                             : std::string(code));
            record.put(SicRecord::kDesc, description);
            sic.write(record);
        }
        sic.close();

        DemoOutputFile classList(folder / DataLoader::kClassListFileName);
        for (const ClassCode& entry : kClassCodes) {
            DemoRecord record(ClassListRecord::kLength);
            record.put(ClassListRecord::kClass, entry.code);
            record.put(ClassListRecord::kDesc, entry.description);
            classList.write(record);
        }
        classList.close();

        DemoOutputFile counties(folder / DataLoader::countyFileName(m_state));
        for (const auto& county : m_geography.counties) {
            DemoRecord record(CountyRecord::kLength);
            record.put(CountyRecord::kCode, county.code);
            record.put(CountyRecord::kName, county.name);
            counties.write(record);
        }
        counties.close();
    }

    void writeCompany(DemoOutputFile& out, const Group& group, const Employer& employer,
                      bool associated)
    {
        using namespace CompanyRecord;
        DemoRecord record(kLength);
        record.put(kState, m_geography.postalState);
        record.put(kFile, group.file);
        record.put(m_newYork ? kNySequence : kSequence, employer.sequence);
        record.put(m_newYork ? kNyName1 : kName1, employer.name);
        if (!m_newYork)
            record.put(kName2, employer.name2);
        record.put(m_newYork ? kNyStreet : kStreet, employer.street);
        record.put(kCity, employer.city->name);
        record.put(kSt, m_geography.postalState);
        record.put(kZip, employer.zip);
        record.put(kCounty, employer.city->county);
        record.put(kPhone, employer.phone);
        record.put(kSic, employer.industry->sic);
        record.put(kAssociates, associated ? "Y" : "N");
        record.put(kContact, employer.contact);
        record.put(kEmployees, std::to_string(employer.employees));
        record.put(kSales, std::to_string(employer.sales));
        record.put(kTitle, employer.title);
        record.put(kZipExt, employer.zipExt);
        record.put(kFax, employer.fax);
        if (StateRules::hasAssignedRisk(m_state))
            putNewJerseyFields(record);
        if (m_newYork) {
            record.put(kNyRevised, m_random.chance(0.06) ? "R" : " ");
            record.put(kNyInterstate, m_random.chance(0.12) ? "I" : " ");
        }

        // Now and then a delivery carries a company in two records, the older
        // mods in the first; some records leave a slot empty between two mods.
        const std::vector<Mod>& mods = group.mods;
        size_t firstRecordMods = 0;
        if (mods.size() >= 3 && m_random.chance(0.04)) {
            firstRecordMods = mods.size() - 2;
            DemoRecord older = record;
            putMods(older, std::vector<Mod>(mods.begin() + 2, mods.end()), -1);
            deliver(out, older);
        }
        const int gap = mods.size() - firstRecordMods <= 4 && m_random.chance(0.05)
                            ? m_random.below(static_cast<int>(mods.size()) + 1)
                            : -1;
        putMods(record,
                std::vector<Mod>(mods.begin(), mods.end() - static_cast<long>(firstRecordMods)),
                gap);
        if (m_arrival == Arrival::NewMod) {
            const int newest = gap == 0 ? 1 : 0;
            for (RecordField field : {kSlotIssue, kSlotEffective, kSlotExpire, kSlotMod})
                record.clear(slotField(newest, field));
        }
        deliver(out, record);
    }

    // Puts the mods into the slots in order, leaving the slot `gap` empty.
    void putMods(DemoRecord& record, const std::vector<Mod>& mods, int gap)
    {
        using namespace CompanyRecord;
        int slot = 0;
        for (const Mod& mod : mods) {
            if (slot == gap)
                ++slot;
            // A few issue dates come through unreadable.
            const std::string issue =
                m_random.chance(0.003) ? "000000" : date(mod.issue, !m_newYork);
            record.put(slotField(slot, kSlotIssue), issue);
            record.put(slotField(slot, kSlotEffective), date(mod.effective, true));
            record.put(slotField(slot, kSlotExpire), date(mod.expire, !m_newYork));
            record.put(slotField(slot, kSlotMod), DemoRecord::digits(mod.thousandths, 4));
            ++slot;
        }
    }

    static std::string date(Days day, bool yearFirst)
    {
        const std::chrono::year_month_day ymd(day);
        const std::string year = DemoRecord::digits(static_cast<int>(ymd.year()) % 100, 2);
        const std::string monthDay = DemoRecord::digits(static_cast<unsigned>(ymd.month()), 2) +
                                     DemoRecord::digits(static_cast<unsigned>(ymd.day()), 2);
        return yearFirst ? year + monthDay : monthDay + year;
    }

    // Employers in the assigned-risk market carry its premiums, losses and date.
    void putNewJerseyFields(DemoRecord& record)
    {
        using namespace CompanyRecord;
        if (m_random.chance(0.05))
            record.put(kConditional, "CONDITIONAL");
        if (!m_random.chance(0.18))
            return;
        const int year = static_cast<int>(std::chrono::year_month_day(m_today).year()) -
                         (m_random.chance(0.05) ? 25 + m_random.below(5) : m_random.below(4));
        record.put(kNjArMonth, DemoRecord::digits(1 + m_random.below(12), 2));
        record.put(kNjArYear, DemoRecord::digits(year % 100, 2));
        record.put(kNjPpap, m_random.chance(0.4) ? "YES" : "NO");
        record.put(kNjCcpap, m_random.chance(0.3) ? "YES" : "NO");
        const int premium = 2500 + m_random.below(150000);
        record.put(kArEstPrem, DemoRecord::digits(premium, 7));
        record.put(kArTotPrem, DemoRecord::digits(premium + m_random.below(premium / 2), 7));
        record.put(kArTotLoss, DemoRecord::digits(m_random.below(premium * 3 / 2), 7));
    }

    void writeClasses(DemoOutputFile& out, const Group& group, const Employer& employer)
    {
        std::vector<std::string> codes = employer.industry->classes;
        auto add = [&codes](const std::string& code) {
            if (std::find(codes.begin(), codes.end(), code) == codes.end())
                codes.push_back(code);
        };
        if (m_random.chance(0.9))
            add("8810");
        if (m_random.chance(0.6))
            add("8742");
        if (m_random.chance(0.4))
            add("7380");
        if (m_random.chance(0.6))
            add(m_random.pick(m_employers.anyIndustry().classes));
        // A delivery may repeat a class of a company.
        if (m_random.chance(0.005))
            codes.push_back(codes.front());
        for (const std::string& code : codes) {
            DemoRecord record(ClassRecord::kLength);
            record.put(ClassRecord::kClass, code);
            if (m_newYork) {
                for (int piece = 0; piece < 3; ++piece)
                    record.put(ClassRecord::kNyFile[piece], filePiece(group.file, piece));
                record.put(ClassRecord::kNySequence, employer.sequence);
                record.put(ClassRecord::kNyLossCost, DemoRecord::digits(lossCostCents(code), 7));
            } else {
                record.put(ClassRecord::kFile, group.file);
                record.put(ClassRecord::kSequence, employer.sequence);
                record.put(ClassRecord::kLossCost, DemoRecord::digits(lossCostCents(code), 5));
            }
            deliver(out, record);
        }
    }

    // Loss costs are set per class and state.
    long long lossCostCents(const std::string& code) const
    {
        const double factor = m_state == "NJ"   ? 1.15
                              : m_state == "NY" ? 1.25
                              : m_state == "DE" ? 0.95
                                                : 1.0;
        for (const ClassCode& entry : kClassCodes)
            if (code == entry.code)
                return std::lround(entry.lossCost * factor * 100);
        return 0;
    }

    // The full mailing address of a New York employer; now and then it
    // continues in a second record or leaves a line empty.
    void writeAddress(DemoOutputFile& out, const Group& group, const Employer& employer)
    {
        std::vector<std::string> lines = {employer.name};
        if (!employer.name2.empty())
            lines.push_back(employer.name2);
        if (!employer.contact.empty() && m_random.chance(0.4))
            lines.push_back("ATTN: " + employer.contact);
        lines.push_back(employer.street);
        lines.push_back(employer.city->name + " NY " + employer.zip +
                        (employer.zipExt.empty() ? "" : "-" + employer.zipExt));
        if (m_random.chance(0.1))
            lines.insert(lines.begin() + 1 + m_random.below(static_cast<int>(lines.size()) - 1),
                         "");
        const size_t split = m_random.chance(0.05) ? 2 : lines.size();
        for (size_t from = 0; from < lines.size(); from += split) {
            DemoRecord record(AddressRecord::kLength);
            record.put({1, 2}, "NY");
            for (int piece = 0; piece < 3; ++piece)
                record.put(AddressRecord::kFile[piece], filePiece(group.file, piece));
            record.put(AddressRecord::kSequence, employer.sequence);
            for (size_t k = 0; k < split && from + k < lines.size(); ++k)
                record.put(AddressRecord::line(static_cast<int>(k)), lines[from + k]);
            deliver(out, record);
        }
    }

    std::string m_state;
    bool m_newYork;
    bool m_earlier;
    Arrival m_arrival = Arrival::Delivered;
    long long m_companies;
    Days m_today;
    const DemoGeography& m_geography;
    DemoRandom m_random;
    DemoEmployers m_employers;
};

} // namespace

DemoData::DemoData(std::string state, long long companies, const std::string& today,
                   Delivery delivery)
    : m_state(std::move(state)), m_companies(companies), m_delivery(delivery)
{
    if (std::sscanf(today.c_str(), "%d-%d-%d", &m_year, &m_month, &m_day) != 3)
        throw std::invalid_argument("not a date: " + today);
}

void DemoData::writeUpdateFiles(const std::filesystem::path& folder) const
{
    const Days today(std::chrono::year(m_year) /
                     std::chrono::month(static_cast<unsigned>(m_month)) /
                     std::chrono::day(static_cast<unsigned>(m_day)));
    Generator(m_state, m_companies, today, m_delivery == Delivery::Earlier).write(folder);
}

} // namespace kora
