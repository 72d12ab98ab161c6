#pragma once

#include <string>
#include <utility>
#include <vector>

// The fixed lists that demo employers are drawn from: class codes, SIC codes,
// industries, names, titles and streets, and the weights of the random choices.
namespace kora::demo {

struct ClassCode
{
    const char* code;
    const char* description;
    double lossCost; // dollars per 100 of payroll in Pennsylvania
};

struct Industry
{
    const char* sic;
    std::vector<std::string> words; // what the business calls itself
    std::vector<std::string> classes;
    int weight;
};

extern const std::vector<ClassCode> kClassCodes;
// SIC divisions (one letter, not loaded), major groups (two digits, loaded as
// 1500 and so on) and the industries the demo employers work in.
extern const std::vector<std::pair<const char*, const char*>> kSicCodes;
extern const std::vector<Industry> kIndustries;
extern const std::vector<std::string> kSurnames;
extern const std::vector<std::string> kGivenNames;
extern const std::vector<std::string> kTitles;
extern const std::vector<std::string> kStreets;
extern const std::vector<std::string> kForms;
// Employees bands 0 to 9: most employers are small.
extern const std::vector<int> kEmployeeWeights;
// Mods per employer, 0 to 5: about 3.5 on average.
extern const std::vector<int> kModCountWeights;
extern const std::vector<int> kMeritThousandths;

} // namespace kora::demo
