#include "lookup/LookupSearch.h"
#include "lookup/Criteria.h"
#include "lookup/LookupFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kora::test {
namespace {

using F = FieldCatalogue;

class LookupSearchTest : public ::testing::Test
{
protected:
    std::string lookup(const std::vector<SQLPARAMETER>& criteria)
    {
        LookupFile::write(m_folder.file("SEARCH1.KRD"), "TEST", criteria);
        return m_folder.file("SEARCH1.KRD");
    }

    TempFolder m_folder;
};

TEST_F(LookupSearchTest, RefusesNewJerseyFieldsElsewhere)
{
    const std::string path =
        lookup({criterion(F::ZipCode, "07000", "07999"), criterion(F::NjArOnly, "0795", "1296")});
    LookupSearch pennsylvania("PA");
    const auto refused = pennsylvania.SetUpSQL(path, false);
    EXPECT_FALSE(refused.ready);
    const LookupMessage message{
        "This lookup contains a field that can only be used with the state of NJ!",
        "Parameter Verification", LookupMessage::Icon::Exclamation};
    EXPECT_EQ(refused.messages, std::vector<LookupMessage>{message});
    EXPECT_EQ(pennsylvania.CurSQL(), "");
    EXPECT_FALSE(pennsylvania.SORTSRCH(2));

    LookupSearch newJersey("NJ");
    const auto ready = newJersey.SetUpSQL(path, false);
    EXPECT_TRUE(ready.ready);
    EXPECT_TRUE(ready.messages.empty());
    EXPECT_EQ(newJersey.CurSQL(),
              "SELECT * FROM PRIME WHERE NJAR BETWEEN 9507 AND 9612 AND (ZIP BETWEEN '07000' AND "
              "'07999')");
    EXPECT_EQ(newJersey.criteria().size(), 2u);
    EXPECT_EQ(newJersey.criteria()[1].SQLDESC, "TEST");
}

TEST_F(LookupSearchTest, TellsWhatCannotBeRun)
{
    LookupSearch search("PA");
    std::ofstream(m_folder.file("SEARCH4.KRD"), std::ios::binary) << "\"T\",\"Zip Code\",\"1\"\r\n";
    const auto unreadable = search.SetUpSQL(m_folder.file("SEARCH4.KRD"), false);
    EXPECT_FALSE(unreadable.ready);
    EXPECT_EQ(unreadable.messages,
              std::vector<LookupMessage>{LookupFile::unreadableMessage("SEARCH4.KRD")});
    EXPECT_FALSE(search.SetUpSQL(m_folder.file("GONE.KRD"), false).ready);

    const auto badMod =
        search.SetUpSQL(lookup({criterion(F::ExperienceMod, "1.0; DROP TABLE PRIME", "2")}), false);
    EXPECT_FALSE(badMod.ready);
    ASSERT_EQ(badMod.messages.size(), 1u);
    EXPECT_EQ(badMod.messages[0].text,
              "The Experience Mod. value \"1.0; DROP TABLE PRIME\" is not a number.");
}

TEST_F(LookupSearchTest, EmptyConditionSelectsAllAndTheStatementCanBeShown)
{
    LookupSearch search("PA");
    const auto all = search.SetUpSQL(lookup({criterion(F::NewRecords, "", "")}), true);
    EXPECT_TRUE(all.ready);
    EXPECT_EQ(search.CurSQL(), "SELECT * FROM PRIME");
    EXPECT_EQ(all.messages,
              (std::vector<LookupMessage>{{"ALL RECORDS SELECTED", "", LookupMessage::Icon::None},
                                          {"SELECT * FROM PRIME", "", LookupMessage::Icon::None}}));

    const auto some = search.SetUpSQL(lookup({criterion(F::ZipCode, "19000", "19099")}), true);
    EXPECT_EQ(some.messages,
              (std::vector<LookupMessage>{{"SELECT * FROM PRIME WHERE (ZIP BETWEEN '19000' AND "
                                           "'19099')",
                                           "", LookupMessage::Icon::None}}));
}

TEST_F(LookupSearchTest, SortingSetsTheRecordSource)
{
    LookupSearch search("PA");
    search.SetUpSQL(lookup({criterion(F::ZipCode, "19000", "19099")}), false);
    const std::string cur = "SELECT * FROM PRIME WHERE (ZIP BETWEEN '19000' AND '19099')";
    EXPECT_TRUE(search.SORTSRCH(2));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY NAME1");
    EXPECT_FALSE(search.SORTSRCH(1));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY NAME1");
    EXPECT_TRUE(search.SORTSRCH(3));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY MONTH(EXPIRE), DAY(EXPIRE), NAME1");
    // The Omit column re-runs the query in the order last chosen.
    EXPECT_TRUE(search.SORTSRCH(4));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY MONTH(EXPIRE), DAY(EXPIRE), NAME1");
    EXPECT_TRUE(search.SORTSRCH(0));
    EXPECT_EQ(search.recordSource(), cur + " ORDER BY FILE");
    EXPECT_EQ(search.CurSQL(), cur);
}

} // namespace
} // namespace kora::test
