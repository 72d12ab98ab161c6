#include "demo/DemoData.h"

#include "base/StableHash.h"
#include "base/StateRules.h"
#include "demo/DemoGeography.h"
#include "loading/DataLoader.h"
#include "loading/UpdateLayout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace kora {

namespace {

using Days = std::chrono::sys_days;

// A deterministic source of choices: the same seed gives the same data on
// every platform (the standard distributions may differ between libraries).
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_engine(seed) {}

    int below(int bound)
    {
        return static_cast<int>(m_engine() % static_cast<std::uint64_t>(bound));
    }
    bool chance(double probability) { return unit() < probability; }
    double unit() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }
    double normal()
    {
        const double radius = std::sqrt(-2.0 * std::log(std::max(unit(), 1e-12)));
        return radius * std::cos(6.283185307179586 * unit());
    }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }
    // An index drawn in proportion to the weights.
    size_t weighted(const std::vector<int>& weights)
    {
        int total = 0;
        for (int weight : weights)
            total += weight;
        int draw = below(total);
        for (size_t i = 0; i < weights.size(); ++i) {
            draw -= weights[i];
            if (draw < 0)
                return i;
        }
        return weights.size() - 1;
    }

private:
    std::mt19937_64 m_engine;
};

// A record being written: blanks, with each field cut or padded to its width.
class FixedText
{
public:
    explicit FixedText(int length) : m_text(static_cast<size_t>(length), ' ') {}

    void put(RecordField field, std::string_view value)
    {
        const auto width = static_cast<size_t>(field.width);
        m_text.replace(static_cast<size_t>(field.position - 1), std::min(value.size(), width),
                       value.substr(0, width));
    }
    void clear(RecordField field)
    {
        put(field, std::string(static_cast<size_t>(field.width), ' '));
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

class OutputFile
{
public:
    explicit OutputFile(const std::filesystem::path& path) : m_buffer(1 << 20), m_path(path)
    {
        m_stream.rdbuf()->pubsetbuf(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
        m_stream.open(path, std::ios::binary | std::ios::trunc);
        if (!m_stream)
            throw std::runtime_error("Cannot write " + path.string());
    }

    void write(const FixedText& record) { m_stream << record.text(); }
    void close()
    {
        m_stream.close();
        if (!m_stream)
            throw std::runtime_error("Cannot write " + m_path.string());
    }

private:
    std::vector<char> m_buffer;
    std::filesystem::path m_path;
    std::ofstream m_stream;
};

std::string digits(long long value, int width)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", width, value);
    return text;
}

// The three pieces (3, 2 and 2 digits) that New York files hold a file number in.
std::string_view filePiece(const std::string& file, int piece)
{
    return std::string_view(file).substr(piece == 0 ? 0 : static_cast<size_t>(1 + 2 * piece),
                                         piece == 0 ? 3 : 2);
}

struct ClassCode
{
    const char* code;
    const char* description;
    double lossCost; // dollars per 100 of payroll in Pennsylvania
};

const std::vector<ClassCode> kClassCodes = {
    {"0042", "LANDSCAPE GARDENING & DRIVERS", 4.25},
    {"2003", "BAKERY & DRIVERS, ROUTE SUPERVISORS", 3.10},
    {"2081", "BUTCHERING", 4.80},
    {"2812", "CABINET WORKS-WITH POWER MACHINERY & DRIVERS", 3.40},
    {"3040", "IRON OR STEEL: FABRICATION-IRON WORKS-SHOP-STRUCTURAL", 5.20},
    {"3632", "MACHINE SHOP NOC & DRIVERS", 2.90},
    {"4299", "PRINTING", 1.55},
    {"4459", "PLASTICS MFG: FABRICATED PRODUCTS NOC", 2.30},
    {"5022", "MASONRY NOC", 7.90},
    {"5183", "PLUMBING NOC & DRIVERS", 3.60},
    {"5190", "ELECTRICAL WIRING-WITHIN BUILDINGS & DRIVERS", 3.05},
    {"5213", "CONCRETE CONSTRUCTION NOC", 6.40},
    {"5221", "CONCRETE OR CEMENT WORK-FLOORS, DRIVEWAYS, SIDEWALKS", 5.10},
    {"5403", "CARPENTRY NOC", 8.55},
    {"5538", "SHEET METAL WORK-SHOP AND OUTSIDE-NOC & DRIVERS", 5.60},
    {"5551", "ROOFING-ALL KINDS & DRIVERS", 14.80},
    {"5606", "CONTRACTOR-PROJECT MANAGER, CONSTRUCTION EXECUTIVE", 1.20},
    {"5645", "CARPENTRY-DETACHED ONE OR TWO FAMILY DWELLINGS", 9.40},
    {"7219", "TRUCKING: NOC-ALL EMPLOYEES & DRIVERS", 6.75},
    {"7380", "DRIVERS, CHAUFFEURS, MESSENGERS AND THEIR HELPERS NOC", 5.30},
    {"7721", "DETECTIVE OR PATROL AGENCY", 3.50},
    {"8006", "STORE: GROCERY-RETAIL", 2.40},
    {"8017", "STORE: RETAIL NOC", 1.45},
    {"8018", "STORE: WHOLESALE NOC", 2.95},
    {"8232", "LUMBERYARD NEW MATERIALS ONLY: ALL OTHER EMPLOYEES", 3.90},
    {"8291", "STORAGE WAREHOUSE NOC", 3.70},
    {"8380", "AUTOMOBILE SERVICE OR REPAIR CENTER & DRIVERS", 2.75},
    {"8601", "ARCHITECT OR ENGINEER-CONSULTING", 0.42},
    {"8742", "SALESPERSONS OR COLLECTORS-OUTSIDE", 0.45},
    {"8803", "AUDITORS, ACCOUNTANTS-TRAVELING", 0.12},
    {"8810", "CLERICAL OFFICE EMPLOYEES NOC", 0.18},
    {"8820", "ATTORNEY-ALL EMPLOYEES & CLERICAL, MESSENGERS, DRIVERS", 0.22},
    {"8829", "CONVALESCENT OR NURSING HOME-ALL EMPLOYEES", 3.20},
    {"8832", "PHYSICIAN & CLERICAL", 0.35},
    {"8833", "HOSPITAL: PROFESSIONAL EMPLOYEES", 0.95},
    {"8868", "COLLEGE OR SCHOOL: PROFESSIONAL EMPLOYEES & CLERICAL", 0.40},
    {"8869", "CHILD DAY CARE CENTER-ALL EMPLOYEES", 1.05},
    {"9014", "BUILDINGS-OPERATION BY CONTRACTORS", 4.10},
    {"9040", "HOSPITAL: ALL OTHER EMPLOYEES", 2.60},
    {"9052", "HOTEL: ALL OTHER EMPLOYEES & SALESPERSONS, DRIVERS", 2.70},
    {"9058", "HOTEL: RESTAURANT EMPLOYEES", 1.90},
    {"9079", "RESTAURANT NOC", 1.65},
    {"9083", "RESTAURANT: FAST FOOD", 1.35},
    {"9101", "COLLEGE OR SCHOOL: ALL OTHER EMPLOYEES", 2.45},
};

// SIC divisions (one letter, not loaded), major groups (two digits, loaded as
// 1500 and so on) and the industries the demo employers work in.
const std::vector<std::pair<const char*, const char*>> kSicCodes = {
    {"A", "AGRICULTURE, FORESTRY, AND FISHING"},
    {"07", "AGRICULTURAL SERVICES"},
    {"0782", "LAWN AND GARDEN SERVICES"},
    {"C", "CONSTRUCTION"},
    {"15", "BUILDING CONSTRUCTION-GENERAL CONTRACTORS"},
    {"1521", "GENERAL CONTRACTORS-SINGLE-FAMILY HOUSES"},
    {"1542", "GENERAL CONTRACTORS-NONRESIDENTIAL BUILDINGS"},
    {"17", "CONSTRUCTION-SPECIAL TRADE CONTRACTORS"},
    {"1711", "PLUMBING, HEATING AND AIR-CONDITIONING"},
    {"1731", "ELECTRICAL WORK"},
    {"1761", "ROOFING, SIDING, AND SHEET METAL WORK"},
    {"1771", "CONCRETE WORK"},
    {"D", "MANUFACTURING"},
    {"20", "FOOD AND KINDRED PRODUCTS"},
    {"2011", "MEAT PACKING PLANTS"},
    {"2051", "BREAD AND OTHER BAKERY PRODUCTS"},
    {"2434", "WOOD KITCHEN CABINETS"},
    {"2752", "COMMERCIAL PRINTING, LITHOGRAPHIC"},
    {"3089", "PLASTICS PRODUCTS, NOT ELSEWHERE CLASSIFIED"},
    {"3441", "FABRICATED STRUCTURAL METAL"},
    {"3599", "INDUSTRIAL AND COMMERCIAL MACHINERY, NEC"},
    {"E", "TRANSPORTATION AND PUBLIC UTILITIES"},
    {"42", "MOTOR FREIGHT TRANSPORTATION AND WAREHOUSING"},
    {"4212", "LOCAL TRUCKING WITHOUT STORAGE"},
    {"4213", "TRUCKING, EXCEPT LOCAL"},
    {"4225", "GENERAL WAREHOUSING AND STORAGE"},
    {"F", "WHOLESALE TRADE"},
    {"5031", "LUMBER, PLYWOOD, MILLWORK, AND WOOD PANELS"},
    {"5141", "GROCERIES, GENERAL LINE"},
    {"G", "RETAIL TRADE"},
    {"5411", "GROCERY STORES"},
    {"5541", "GASOLINE SERVICE STATIONS"},
    {"58", "EATING AND DRINKING PLACES"},
    {"5812", "EATING PLACES"},
    {"5813", "DRINKING PLACES (ALCOHOLIC BEVERAGES)"},
    {"I", "SERVICES"},
    {"7011", "HOTELS AND MOTELS"},
    {"7349", "BUILDING CLEANING AND MAINTENANCE SERVICES"},
    {"7381", "DETECTIVE, GUARD, AND ARMORED CAR SERVICES"},
    {"7538", "GENERAL AUTOMOTIVE REPAIR SHOPS"},
    {"80", "HEALTH SERVICES"},
    {"8011", "OFFICES AND CLINICS OF DOCTORS OF MEDICINE"},
    {"8051", "SKILLED NURSING CARE FACILITIES"},
    {"8062", "GENERAL MEDICAL AND SURGICAL HOSPITALS"},
    {"8111", "LEGAL SERVICES"},
    {"8211", "ELEMENTARY AND SECONDARY SCHOOLS"},
    {"8351", "CHILD DAY CARE SERVICES"},
    {"8711", "ENGINEERING SERVICES"},
    {"8721", "ACCOUNTING, AUDITING, AND BOOKKEEPING SERVICES"},
};

struct Industry
{
    const char* sic;
    std::vector<std::string> words; // what the business calls itself
    std::vector<std::string> classes;
    int weight;
};

const std::vector<Industry> kIndustries = {
    {"0782", {"LANDSCAPING", "LAWN CARE", "TREE SERVICE", "NURSERY & LANDSCAPE"}, {"0042"}, 5},
    {"1521", {"HOMES", "BUILDERS", "HOME IMPROVEMENT", "REMODELING"}, {"5645", "5403"}, 7},
    {"1542", {"CONSTRUCTION", "CONTRACTING", "BUILDING GROUP"}, {"5403", "5606", "5022"}, 6},
    {"1711", {"PLUMBING & HEATING", "MECHANICAL", "HEATING & COOLING"}, {"5183", "5538"}, 6},
    {"1731", {"ELECTRIC", "ELECTRICAL CONTRACTORS", "ELECTRICAL SERVICES"}, {"5190"}, 5},
    {"1761", {"ROOFING", "ROOFING & SIDING", "EXTERIORS"}, {"5551", "5538"}, 3},
    {"1771", {"CONCRETE", "PAVING", "MASONRY & CONCRETE"}, {"5213", "5221", "5022"}, 3},
    {"2011", {"MEATS", "PACKING CO", "PROVISIONS"}, {"2081", "8018"}, 1},
    {"2051", {"BAKERY", "BAKING CO", "BREAD CO"}, {"2003", "8017"}, 2},
    {"2434", {"CABINETRY", "WOODWORKING", "MILLWORK"}, {"2812"}, 2},
    {"2752", {"PRINTING", "GRAPHICS", "PRESS"}, {"4299"}, 2},
    {"3089", {"PLASTICS", "MOLDING", "POLYMER PRODUCTS"}, {"4459"}, 2},
    {"3441", {"STEEL", "IRON WORKS", "METAL FABRICATORS"}, {"3040", "5538"}, 2},
    {"3599", {"MACHINE", "PRECISION", "TOOL & DIE"}, {"3632"}, 3},
    {"4212", {"TRUCKING", "HAULING", "TRANSPORT"}, {"7219"}, 4},
    {"4213", {"FREIGHT", "EXPRESS", "LOGISTICS"}, {"7219", "7380"}, 3},
    {"4225", {"WAREHOUSE", "DISTRIBUTION", "STORAGE"}, {"8291", "7380"}, 2},
    {"5031", {"LUMBER", "BUILDING SUPPLY", "LUMBER & MILLWORK"}, {"8232", "7380"}, 2},
    {"5141", {"FOOD DISTRIBUTORS", "FOODS", "PRODUCE"}, {"8018", "7380"}, 2},
    {"5411", {"MARKET", "FOOD MARKET", "SUPERMARKET"}, {"8006"}, 4},
    {"5541", {"SERVICE STATION", "FUEL MART", "GAS & GO"}, {"8380", "8017"}, 2},
    {"5812", {"RESTAURANT", "DINER", "PIZZA", "GRILLE", "CAFE"}, {"9079", "9083"}, 9},
    {"5813", {"TAVERN", "PUB", "BAR & GRILL"}, {"9079"}, 3},
    {"7011", {"INN", "HOTEL", "MOTOR LODGE", "SUITES"}, {"9052", "9058"}, 3},
    {"7349", {"CLEANING", "JANITORIAL", "MAINTENANCE"}, {"9014"}, 3},
    {"7381", {"SECURITY", "PROTECTIVE SERVICES", "PATROL"}, {"7721"}, 2},
    {"7538", {"AUTO REPAIR", "AUTOMOTIVE", "COLLISION", "GARAGE"}, {"8380"}, 5},
    {"8011", {"MEDICAL ASSOCIATES", "FAMILY PRACTICE", "PHYSICIANS GROUP"}, {"8832"}, 4},
    {"8051", {"NURSING HOME", "CARE CENTER", "REHABILITATION CENTER", "MANOR"}, {"8829"}, 3},
    {"8062", {"HOSPITAL", "MEDICAL CENTER"}, {"8833", "9040"}, 1},
    {"8111", {"LAW OFFICES", "LAW GROUP"}, {"8820"}, 3},
    {"8211", {"ACADEMY", "SCHOOL", "DAY SCHOOL"}, {"8868", "9101"}, 2},
    {"8351", {"LEARNING CENTER", "CHILD CARE", "EARLY LEARNING"}, {"8869"}, 3},
    {"8711", {"ENGINEERING", "ENGINEERS", "DESIGN GROUP"}, {"8601"}, 2},
    {"8721", {"ACCOUNTING", "CPAS", "TAX SERVICE"}, {"8803"}, 3},
};

const std::vector<std::string> kSurnames = {
    "SMITH",    "JOHNSON",  "WILLIAMS", "BROWN",     "JONES",      "MILLER",    "DAVIS",
    "GARCIA",   "WILSON",   "MARTINEZ", "ANDERSON",  "TAYLOR",     "THOMAS",    "MOORE",
    "MARTIN",   "JACKSON",  "THOMPSON", "WHITE",     "LOPEZ",      "LEE",       "HARRIS",
    "CLARK",    "LEWIS",    "ROBINSON", "WALKER",    "YOUNG",      "ALLEN",     "WRIGHT",
    "KING",     "SCOTT",    "GREEN",    "BAKER",     "ADAMS",      "NELSON",    "HILL",
    "CAMPBELL", "MITCHELL", "ROBERTS",  "CARTER",    "PHILLIPS",   "EVANS",     "TURNER",
    "PARKER",   "COLLINS",  "EDWARDS",  "STEWART",   "MORRIS",     "MURPHY",    "COOK",
    "ROGERS",   "MORGAN",   "PETERSON", "COOPER",    "REED",       "BAILEY",    "BELL",
    "KELLY",    "HOWARD",   "WARD",     "COX",       "RICHARDSON", "WOOD",      "WATSON",
    "BROOKS",   "BENNETT",  "GRAY",     "HUGHES",    "PRICE",      "MYERS",     "LONG",
    "FOSTER",   "SANDERS",  "ROSS",     "POWELL",    "SULLIVAN",   "RUSSELL",   "PERRY",
    "BUTLER",   "BARNES",   "FISHER",   "HENDERSON", "COLEMAN",    "KOWALSKI",  "NOWAK",
    "ROMANO",   "RUSSO",    "DEMARCO",  "SCHMIDT",   "SCHNEIDER",  "WAGNER",    "BECKER",
    "HOFFMAN",  "KLEIN",    "O'BRIEN",  "MCCARTHY",  "DOYLE",      "GALLAGHER", "KAPLAN",
    "GOLDBERG", "COHEN",    "PATEL",    "SHAH",      "CHEN",       "WONG",      "KIM",
    "NGUYEN",   "ESPOSITO", "DIMAGGIO", "YODER",     "STOLTZFUS",  "HERSHEY",   "KRAMER",
};

const std::vector<std::string> kGivenNames = {
    "JOHN",    "MARY",      "ROBERT",  "PATRICIA", "MICHAEL", "JENNIFER", "WILLIAM", "LINDA",
    "DAVID",   "ELIZABETH", "RICHARD", "BARBARA",  "JOSEPH",  "SUSAN",    "THOMAS",  "JESSICA",
    "CHARLES", "SARAH",     "DANIEL",  "KAREN",    "MATTHEW", "NANCY",    "ANTHONY", "LISA",
    "MARK",    "MARGARET",  "DONALD",  "SANDRA",   "STEVEN",  "ASHLEY",   "PAUL",    "KIMBERLY",
    "ANDREW",  "EMILY",     "JOSHUA",  "DONNA",    "KENNETH", "MICHELLE", "KEVIN",   "CAROL",
    "BRIAN",   "AMANDA",    "GEORGE",  "MELISSA",  "EDWARD",  "DEBORAH",  "RONALD",  "STEPHANIE",
    "TIMOTHY", "REBECCA",   "JASON",   "LAURA",    "JEFFREY", "SHARON",   "RYAN",    "CYNTHIA",
    "FRANK",   "KATHLEEN",  "GARY",    "AMY",      "ANGELO",  "MARIA",    "RAJ",     "MEI",
};

const std::vector<std::string> kTitles = {
    "PRESIDENT",
    "OWNER",
    "VICE PRESIDENT",
    "CONTROLLER",
    "CFO",
    "OFFICE MANAGER",
    "HR MANAGER",
    "RISK MANAGER",
    "GENERAL MANAGER",
    "TREASURER",
    "ADMINISTRATOR",
    "OPERATIONS MANAGER",
    "PARTNER",
    "SAFETY DIRECTOR",
    "BUSINESS MANAGER",
    "SECRETARY",
};

const std::vector<std::string> kStreets = {
    "MAIN ST",       "MARKET ST",     "CHURCH ST",   "BROAD ST",         "HIGH ST",
    "PARK AVE",      "INDUSTRIAL DR", "RIDGE RD",    "STATE ST",         "WASHINGTON AVE",
    "LINCOLN HWY",   "OAK ST",        "MAPLE AVE",   "CENTER ST",        "LIBERTY ST",
    "COMMERCE DR",   "FRONT ST",      "WATER ST",    "2ND ST",           "3RD AVE",
    "ELM ST",        "PINE ST",       "UNION ST",    "MILL RD",          "HILLSIDE AVE",
    "RIVER RD",      "LAKE ST",       "FRANKLIN ST", "JEFFERSON ST",     "CORPORATE BLVD",
    "BUSINESS PKWY", "TECHNOLOGY DR", "ROUTE 9",     "SPRING GARDEN ST", "VALLEY RD",
    "MADISON AVE",   "GRANT AVE",     "CHESTNUT ST", "WALNUT ST",        "CEDAR LN",
};

const std::vector<std::string> kForms = {"INC",  "INC",        "INC", "LLC", "LLC", "CO", "CORP",
                                         "CORP", "& SONS INC", "LTD", "LP",  "",    "",   "INC"};

// Employees bands 0 to 9: most employers are small.
const std::vector<int> kEmployeeWeights = {4, 26, 21, 18, 14, 8, 5, 2, 1, 1};
// Mods per employer, 0 to 5: about 3.5 on average.
const std::vector<int> kModCountWeights = {2, 10, 13, 20, 25, 30};
const std::vector<int> kMeritThousandths = {9884, 9885, 9886, 8888};

struct Mod
{
    Days issue;
    Days effective;
    Days expire;
    int thousandths;
};

// What a group of associated companies shares: the file number, the root of
// their names and one mod history, since their experience is rated together.
struct Group
{
    std::string file;
    std::string root;
    std::vector<Mod> mods; // newest first
};

struct Employer
{
    std::string sequence;
    std::string name;
    std::string name2;
    std::string street;
    const DemoGeography::City* city;
    std::string zip;
    std::string zipExt;
    std::string phone;
    std::string fax;
    std::string contact;
    std::string title;
    const Industry* industry;
    int employees;
    int sales;
};

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
                   static_cast<unsigned char>(state[1]))
    {
        for (const auto& city : m_geography.cities)
            m_cityWeights.push_back(city.weight);
        for (const auto& industry : kIndustries)
            m_industryWeights.push_back(industry.weight);
    }

    void write(const std::filesystem::path& folder)
    {
        writeReferenceFiles(folder);
        OutputFile companyFile(folder / DataLoader::companyFileName(m_state));
        OutputFile classFile(folder / DataLoader::classFileName(m_state));
        std::unique_ptr<OutputFile> addressFile;
        if (m_newYork)
            addressFile = std::make_unique<OutputFile>(folder / DataLoader::kAddressFileName);
        // File numbers rise in steps that spread the employers over seven digits.
        const int stride = static_cast<int>(std::clamp(8'000'000 / m_companies, 1LL, 1000LL));
        long long fileNumber = 1'000'000 + m_random.below(1000);
        for (long long written = 0; written < m_companies;) {
            fileNumber += 1 + m_random.below(2 * stride - 1);
            const int members = m_random.chance(0.07) ? 2 + m_random.below(3) : 1;
            const Group group = makeGroup(digits(fileNumber, 7));
            m_arrival = m_earlier ? arrival(group) : Arrival::Delivered;
            for (int member = 0; member < members && written < m_companies; ++member, ++written) {
                const Employer employer = makeEmployer(group, member);
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
    void deliver(OutputFile& out, const FixedText& record)
    {
        if (m_arrival != Arrival::NewCompanies)
            out.write(record);
    }

    void writeReferenceFiles(const std::filesystem::path& folder)
    {
        OutputFile sic(folder / DataLoader::kSicFileName);
        for (const auto& [code, description] : kSicCodes) {
            FixedText record(SicRecord::kLength);
            // Major groups are delivered with blanks around them.
            record.put(SicRecord::kCode, std::string_view(code).size() == 2
                                             ? " " + std::string(code)
                                             : std::string(code));
            record.put(SicRecord::kDesc, description);
            sic.write(record);
        }
        sic.close();

        OutputFile classList(folder / DataLoader::kClassListFileName);
        for (const ClassCode& entry : kClassCodes) {
            FixedText record(ClassListRecord::kLength);
            record.put(ClassListRecord::kClass, entry.code);
            record.put(ClassListRecord::kDesc, entry.description);
            classList.write(record);
        }
        classList.close();

        OutputFile counties(folder / DataLoader::countyFileName(m_state));
        for (const auto& county : m_geography.counties) {
            FixedText record(CountyRecord::kLength);
            record.put(CountyRecord::kCode, county.code);
            record.put(CountyRecord::kName, county.name);
            counties.write(record);
        }
        counties.close();
    }

    Group makeGroup(const std::string& file)
    {
        Group group{file, nameRoot(), {}};
        const int count = static_cast<int>(m_random.weighted(kModCountWeights));
        const bool merit = StateRules::hasMeritClasses(m_state) && m_random.chance(0.15);
        // Policies renew on the same day each year, most on the first of a month;
        // the newest mod may already be issued for a policy starting soon.
        const auto month = static_cast<unsigned>(1 + m_random.below(12));
        const auto day = static_cast<unsigned>(m_random.chance(0.6) ? 1 : 2 + m_random.below(27));
        const auto today = std::chrono::year_month_day(m_today);
        std::chrono::year year = today.year();
        if (Days(year / std::chrono::month(month) / std::chrono::day(day)) >
            m_today + std::chrono::days(60))
            --year;
        // Some employers have had no new mod for a few years.
        if (m_random.chance(0.08))
            year -= std::chrono::years(1 + m_random.below(3));
        double mod = std::clamp(std::exp(0.22 * m_random.normal()), 0.6, 2.0);
        // Histories reach back six years at most.
        const std::chrono::year oldest = today.year() - std::chrono::years(6);
        for (int i = 0; i < count && year >= oldest; ++i) {
            const Days effective(year / std::chrono::month(month) / std::chrono::day(day));
            const Days expire((year + std::chrono::years(1)) / std::chrono::month(month) /
                              std::chrono::day(day));
            const Days issue = effective - std::chrono::days(20 + m_random.below(80));
            const int thousandths = merit ? m_random.pick(kMeritThousandths)
                                          : static_cast<int>(std::lround(mod * 1000));
            group.mods.push_back({issue, effective, expire, thousandths});
            mod = std::clamp(mod * std::exp(0.08 * m_random.normal()), 0.6, 2.0);
            year -= std::chrono::years(m_random.chance(0.1) ? 2 : 1);
        }
        return group;
    }

    std::string nameRoot()
    {
        const int kind = m_random.below(20);
        if (kind < 10)
            return m_random.pick(kSurnames);
        if (kind < 15)
            return m_random.pick(m_geography.placeWords);
        if (kind < 17)
            return m_random.pick(kSurnames) + " & " + m_random.pick(kSurnames);
        if (kind < 19)
            return m_random.pick(m_geography.cities).name;
        return m_random.pick(kGivenNames) + " " + m_random.pick(kSurnames);
    }

    std::string person() { return m_random.pick(kGivenNames) + " " + m_random.pick(kSurnames); }

    std::string phoneNumber(const std::string& areaCode)
    {
        return areaCode + "-" + digits(200 + m_random.below(800), 3) + "-" +
               digits(m_random.below(10000), 4);
    }

    Employer makeEmployer(const Group& group, int member)
    {
        Employer employer;
        employer.sequence = digits(member + 1, 2);
        employer.industry = &kIndustries[m_random.weighted(m_industryWeights)];
        const size_t width = m_newYork ? 35 : 40;
        const std::string form = m_random.pick(kForms);
        employer.name = group.root + " " + m_random.pick(employer.industry->words);
        if (!form.empty() && employer.name.size() + 1 + form.size() <= width)
            employer.name += " " + form;
        const int name2 = m_random.below(100);
        if (name2 < 7)
            employer.name2 = "DBA " + m_random.pick(m_geography.placeWords) + " " +
                             m_random.pick(employer.industry->words);
        else if (name2 < 13)
            employer.name2 = "C/O " + person();

        employer.city = &m_geography.cities[m_random.weighted(m_cityWeights)];
        employer.zip = m_random.pick(employer.city->zips);
        if (m_random.chance(0.65))
            employer.zipExt = digits(m_random.below(10000), 4);
        if (m_random.chance(0.07)) {
            employer.street = "PO BOX " + std::to_string(1 + m_random.below(9999));
        } else {
            employer.street =
                std::to_string(1 + m_random.below(m_random.chance(0.7) ? 999 : 9999)) + " " +
                m_random.pick(kStreets);
            if (m_random.chance(0.12))
                employer.street +=
                    " STE " + std::to_string(100 * (1 + m_random.below(9)) + m_random.below(20));
        }
        employer.phone = phoneNumber(employer.city->areaCode);
        if (m_random.chance(0.55))
            employer.fax = phoneNumber(employer.city->areaCode);
        if (m_random.chance(0.85)) {
            employer.contact = person();
            employer.title = m_random.chance(0.85) ? m_random.pick(kTitles) : "";
        }
        employer.employees = static_cast<int>(m_random.weighted(kEmployeeWeights));
        employer.sales = std::clamp(employer.employees + m_random.below(3) - 1, 0, 9);
        return employer;
    }

    void writeCompany(OutputFile& out, const Group& group, const Employer& employer,
                      bool associated)
    {
        using namespace CompanyRecord;
        FixedText record(kLength);
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
            FixedText older = record;
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
    void putMods(FixedText& record, const std::vector<Mod>& mods, int gap)
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
            record.put(slotField(slot, kSlotMod), digits(mod.thousandths, 4));
            ++slot;
        }
    }

    static std::string date(Days day, bool yearFirst)
    {
        const std::chrono::year_month_day ymd(day);
        const std::string year = digits(static_cast<int>(ymd.year()) % 100, 2);
        const std::string monthDay = digits(static_cast<unsigned>(ymd.month()), 2) +
                                     digits(static_cast<unsigned>(ymd.day()), 2);
        return yearFirst ? year + monthDay : monthDay + year;
    }

    // Employers in the assigned-risk market carry its premiums, losses and date.
    void putNewJerseyFields(FixedText& record)
    {
        using namespace CompanyRecord;
        if (m_random.chance(0.05))
            record.put(kConditional, "CONDITIONAL");
        if (!m_random.chance(0.18))
            return;
        const int year = static_cast<int>(std::chrono::year_month_day(m_today).year()) -
                         (m_random.chance(0.05) ? 25 + m_random.below(5) : m_random.below(4));
        record.put(kNjArMonth, digits(1 + m_random.below(12), 2));
        record.put(kNjArYear, digits(year % 100, 2));
        record.put(kNjPpap, m_random.chance(0.4) ? "YES" : "NO");
        record.put(kNjCcpap, m_random.chance(0.3) ? "YES" : "NO");
        const int premium = 2500 + m_random.below(150000);
        record.put(kArEstPrem, digits(premium, 7));
        record.put(kArTotPrem, digits(premium + m_random.below(premium / 2), 7));
        record.put(kArTotLoss, digits(m_random.below(premium * 3 / 2), 7));
    }

    void writeClasses(OutputFile& out, const Group& group, const Employer& employer)
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
            add(m_random.pick(kIndustries[m_random.weighted(m_industryWeights)].classes));
        // A delivery may repeat a class of a company.
        if (m_random.chance(0.005))
            codes.push_back(codes.front());
        for (const std::string& code : codes) {
            FixedText record(ClassRecord::kLength);
            record.put(ClassRecord::kClass, code);
            if (m_newYork) {
                for (int piece = 0; piece < 3; ++piece)
                    record.put(ClassRecord::kNyFile[piece], filePiece(group.file, piece));
                record.put(ClassRecord::kNySequence, employer.sequence);
                record.put(ClassRecord::kNyLossCost, digits(lossCostCents(code), 7));
            } else {
                record.put(ClassRecord::kFile, group.file);
                record.put(ClassRecord::kSequence, employer.sequence);
                record.put(ClassRecord::kLossCost, digits(lossCostCents(code), 5));
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
    void writeAddress(OutputFile& out, const Group& group, const Employer& employer)
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
            FixedText record(AddressRecord::kLength);
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
    Random m_random;
    std::vector<int> m_cityWeights;
    std::vector<int> m_industryWeights;
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
