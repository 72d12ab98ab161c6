#include "results/UserDataChanges.h"

#include "database/Schema.h"
#include "results/CompanyNotes.h"
#include "results/CompanyRecord.h"
#include "results/ResultListData.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

constexpr const char* kConnect = ";PWD=changes1";

class SilentPrompt : public Prompt
{
public:
    void tell(const std::string&, const std::string&, Icon) override {}
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
};

class UserDataChangesTest : public ::testing::Test
{
protected:
    UserDataChangesTest()
    {
        Schema::createStateDatabase(folder.file("KORAPA.MDB"), kConnect, "PA");
        db.open(folder.file("KORAPA.MDB"), kConnect);
        db.execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, User1, Omit) VALUES "
                   "('1000001', '01', 'FIRST CO', 'kept', ' ')");
        db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', ' ')");
    }

    // The stores counted while the action ran.
    template <typename Action> long long storesDuring(Action action)
    {
        const long long before = UserDataChanges::count();
        action();
        return UserDataChanges::count() - before;
    }

    TempFolder folder;
    Database db;
    SilentPrompt prompt;
};

TEST_F(UserDataChangesTest, NotesCountOnlyWhenTheTextChanged)
{
    CompanyNotes notes(db, prompt);
    EXPECT_EQ(storesDuring([&] {
                  notes.GETNOTES("1000001", "01");
                  notes.SETNOTES("");
              }),
              0);
    EXPECT_EQ(storesDuring([&] {
                  notes.GETNOTES("1000001", "01");
                  notes.SETNOTES("Called the owner");
              }),
              1);
    EXPECT_EQ(storesDuring([&] {
                  notes.GETNOTES("1000001", "01");
                  notes.SETNOTES("Called the owner");
              }),
              0);
}

TEST_F(UserDataChangesTest, UserFieldsAndTheOmitMarkCountWhenStored)
{
    CompanyRecord company(db, "1000001", "01");
    EXPECT_EQ(storesDuring([&] { company.store({{"User1", Value("kept")}}); }), 0);
    EXPECT_EQ(storesDuring([&] {
                  company.store({{"User1", Value("kept")}, {"UserPhone", Value("555-0101")}});
              }),
              1);
    EXPECT_EQ(
        storesDuring([&] { ResultListData(db).setOmit(Value("1000001"), Value("01"), true); }), 1);
}

} // namespace
} // namespace kora::test
