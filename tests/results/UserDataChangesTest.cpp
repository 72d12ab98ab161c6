#include "results/UserDataChanges.h"

#include "results/CompanyNotes.h"
#include "results/CompanyRecord.h"
#include "results/ResultListData.h"
#include "support/StateDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

class SilentPrompt : public Prompt
{
public:
    void tell(const std::string&, const std::string&, Icon) override {}
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
};

// The stores counted while the action ran.
template <typename Action> long long storesDuring(Action action)
{
    const long long before = UserDataChanges::count();
    action();
    return UserDataChanges::count() - before;
}

TEST(UserDataChanges, CountOnlyStoresThatChangeSomething)
{
    StateDatabase state;
    state.db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, User1, Omit) VALUES "
                       "('1000001', '01', 'FIRST CO', 'kept', ' ')");
    state.db().execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', ' ')");
    SilentPrompt prompt;
    CompanyNotes notes(state.db(), prompt);
    const auto storeNote = [&notes](const char* text) {
        return storesDuring([&] {
            notes.lockedNote("1000001", "01");
            notes.storeNote(text);
        });
    };
    EXPECT_EQ(storeNote(""), 0);
    EXPECT_EQ(storeNote("Called the owner"), 1);
    EXPECT_EQ(storeNote("Called the owner"), 0);

    CompanyRecord company(state.db(), "1000001", "01");
    EXPECT_EQ(storesDuring([&] { company.store({{"User1", Value("kept")}}); }), 0);
    EXPECT_EQ(storesDuring([&] {
                  company.store({{"User1", Value("kept")}, {"UserPhone", Value("555-0101")}});
              }),
              1);
    EXPECT_EQ(storesDuring(
                  [&] { ResultListData(state.db()).setOmit(Value("1000001"), Value("01"), true); }),
              1);
}

} // namespace
} // namespace kora::test
