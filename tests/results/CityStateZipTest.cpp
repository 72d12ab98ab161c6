#include "results/CityStateZip.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

struct Parts
{
    std::string city, state, zip, zipExtension;
    bool operator==(const Parts&) const = default;
};

Parts partsOf(const std::string& line)
{
    const CityStateZip split = CityStateZip::split(line);
    return {split.city, split.state, split.zip, split.zipExtension};
}

TEST(CityStateZip, SplitsFromTheEnd)
{
    EXPECT_EQ(partsOf("Springfield PA 19064-1234"), (Parts{"Springfield", "PA", "19064", "1234"}));
    EXPECT_EQ(partsOf("Springfield PA 19064"), (Parts{"Springfield", "PA", "19064", ""}));
    EXPECT_EQ(partsOf("  New Castle  DE   19720  "), (Parts{"New Castle", "DE", "19720", ""}));
    EXPECT_EQ(partsOf("King of Prussia PA 19406"), (Parts{"King of Prussia", "PA", "19406", ""}));
    EXPECT_EQ(partsOf("Springfield PA"), (Parts{"Springfield", "PA", "", ""}));
    // A part in the wrong form is not taken off and stays in what is before it.
    EXPECT_EQ(partsOf("Erie PA 1650-1234"), (Parts{"Erie PA 1650", "", "", "1234"}));
    EXPECT_EQ(partsOf("19064"), (Parts{"19064", "", "", ""}));
    EXPECT_EQ(partsOf(""), (Parts{"", "", "", ""}));
}

TEST(CityStateZip, NamesTheFirstMissingPart)
{
    EXPECT_EQ(CityStateZip::split("Springfield PA 19064-1234").problem(), "");
    EXPECT_EQ(CityStateZip::split("   ").problem(), "Missing City, Format Must be City ST Zip");
    EXPECT_EQ(CityStateZip::split("PA 19064").problem(),
              "Missing State, Format Must be City ST Zip");
    EXPECT_EQ(CityStateZip::split("Springfield").problem(),
              "Missing State, Format Must be City ST Zip");
    EXPECT_EQ(CityStateZip::split("Springfield PA").problem(),
              "Missing Zip Code, Format Must be City ST Zip");
}

} // namespace
} // namespace kora::test
