#include "LoadTestFolder.h"

#include "base/Dates.h"
#include "loading/LoadError.h"
#include "loading/UpdateFile.h"
#include "loading/UpdateRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace kora::test {
namespace {

Rows operations(const std::string& folder, const std::string& state)
{
    Rows names;
    for (const UpdateRun::Step& step : UpdateRun::steps(folder, state))
        names.push_back(step.operation);
    return names;
}

TEST(UpdateRun, ClassListAloneLoadsOnlyTheClassList)
{
    LoadTestFolder folder("PA");
    folder.db().execute("UPDATE VERSION SET Version = '2001-02-03'");
    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810").put(6, "CLERICAL")});
    // An empty file is not an update.
    folder.write("DATAPA.DAT", {});
    EXPECT_TRUE(UpdateRun::isPending(folder.path(), "PA"));
    EXPECT_EQ(operations(folder.path(), "PA"), Rows{"NEWCLASSLISTSTD"});

    UpdateRun::run(folder.db(), folder.path(), "PA", folder.progress);
    EXPECT_EQ(folder.count("CLASSLIST"), 1);
    EXPECT_FALSE(folder.exists("CLASSES.DAT"));
    EXPECT_TRUE(folder.exists("DATAPA.DAT"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(Dummy || ' ' || Version) FROM VERSION"),
              Value("1 2001-02-03"));
    EXPECT_FALSE(UpdateRun::isPending(folder.path(), "PA"));
}

TEST(UpdateRun, EveryLoadInOrderAndVersionRewritten)
{
    LoadTestFolder folder("NY");
    folder.db().execute("UPDATE VERSION SET Version = '2001-02-03';"
                        "INSERT INTO VERSION (Dummy, Version) VALUES ('1', '2002-02-02')");
    folder.write("DATA2NY.DAT", {FixedRecord(327).put(1, "NY1234567").put(19, "ACME")});
    // New York addresses alone are no update, and other states never see them.
    EXPECT_FALSE(UpdateRun::isPending(folder.path(), "NY"));
    EXPECT_TRUE(operations(folder.path(), "PA").empty());
    folder.write("DATANY.DAT",
                 {FixedRecord(502).put(1, "NY1234567").put(10, "01").put(175, "001")});
    folder.write("DATA1NY.DAT", {FixedRecord(52).put(2, "8810").put(7, "1234567").put(14, "01")});
    folder.write("CTYNY.DAT", {FixedRecord(36).put(2, "001").put(5, "ALBANY")});
    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810").put(6, "CLERICAL")});
    folder.write("SIC.DAT", {FixedRecord(52).put(1, "1521").put(9, "BUILDERS")});
    // Files of other states are left alone.
    folder.write("DATAPA.DAT", {FixedRecord(502).put(1, "PA1234567")});

    EXPECT_EQ(operations(folder.path(), "NY"), (Rows{"NEWSICSTD", "NEWCLASSLISTSTD", "NEWCOUNTYSTD",
                                                     "NEWCLASSNY", "NEWDATANY", "NEWADDRESSESNY"}));
    EXPECT_EQ(operations(folder.path(), "PA"),
              (Rows{"NEWSICSTD", "NEWCLASSLISTSTD", "NEWDATASTD"}));
    UpdateRun::run(folder.db(), folder.path(), "NY", folder.progress);

    for (const char* name :
         {"DATA2NY.DAT", "DATANY.DAT", "DATA1NY.DAT", "CTYNY.DAT", "CLASSES.DAT", "SIC.DAT"})
        EXPECT_FALSE(folder.exists(name)) << name;
    EXPECT_TRUE(folder.exists("DATAPA.DAT"));
    // Class descriptions and county names were there when the later loads ran.
    EXPECT_EQ(folder.value("SELECT RTRIM(CLASSDESC) FROM CLASS"), Value("CLERICAL"));
    EXPECT_EQ(folder.value("SELECT RTRIM(COUNTYNAME) FROM PRIME"), Value("ALBANY"));
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM SICCODES"), Value(1));
    EXPECT_EQ(folder.value("SELECT RTRIM(ADDRESSES, ' ' || char(13, 10)) FROM ADDRESSES"),
              Value("ACME"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(Dummy || ' ' || Version) FROM VERSION"),
              Value("1 " + Dates::today()));
    EXPECT_EQ(folder.progress.texts, (Rows{"TOTAL CLASSES ADDED IS 0", "TOTAL COMPANIES ADDED IS 0",
                                           "TOTAL OTHER INFORMATION ADDED IS 0"}));
}

TEST(UpdateRun, FailedLoadStopsTheRunAndKeepsTheRemainingFiles)
{
    LoadTestFolder folder("DE");
    folder.write("SIC.DAT", {FixedRecord(52).put(1, "1521").put(9, "BUILDERS")});
    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810"), FixedRecord(57).put(2, "8810")});
    folder.write("DATADE.DAT", {FixedRecord(502).put(1, "DE1234567")});
    EXPECT_THROW(UpdateRun::run(folder.db(), folder.path(), "DE", folder.progress), LoadError);
    EXPECT_FALSE(folder.exists("SIC.DAT"));
    EXPECT_EQ(folder.count("SICCODES"), 1);
    EXPECT_TRUE(folder.exists("CLASSES.DAT"));
    EXPECT_TRUE(folder.exists("DATADE.DAT"));
    EXPECT_EQ(folder.count("PRIME"), 0);
    EXPECT_EQ(operations(folder.path(), "DE"), (Rows{"NEWCLASSLISTSTD", "NEWDATASTD"}));
}

// Update files that cannot be loaded are told, and never opened: a FIFO
// would wait for a writer for ever.
TEST(UpdateRun, EmptyFolderAndFifoFilesAreTold)
{
    LoadTestFolder folder("PA");
    folder.write("DATAPA.DAT", {});
    std::filesystem::create_directory(folder.path() + "DATA1PA.DAT");
    ASSERT_EQ(mkfifo((folder.path() + "CTYPA.DAT").c_str(), 0644), 0);
    const Rows told = {"CTYPA.DAT is not a regular file: it cannot be loaded",
                       "DATA1PA.DAT is a folder, not an update file: it cannot be loaded",
                       "DATAPA.DAT is empty: there is nothing in it to load"};
    EXPECT_FALSE(UpdateRun::isPending(folder.path(), "PA"));
    EXPECT_EQ(UpdateRun::unusableFiles(folder.path(), "PA"), told);

    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810").put(6, "CLERICAL")});
    EXPECT_EQ(UpdateRun::run(folder.db(), folder.path(), "PA", folder.progress), told);
    EXPECT_EQ(folder.count("CLASSLIST"), 1);
    EXPECT_TRUE(folder.exists("CTYPA.DAT"));
}

// The second of two updates of one state at once stops at the file the first
// one is loading, saying so, and changes nothing.
TEST(UpdateRun, SecondUpdateAtOnceStopsAndSaysWhy)
{
    LoadTestFolder folder("DE");
    folder.write("DATADE.DAT", {FixedRecord(502).put(1, "DE1234567")});
    const UpdateFile firstUpdate(folder.path() + "DATADE.DAT", 502);
    try {
        UpdateRun::run(folder.db(), folder.path(), "DE", folder.progress);
        FAIL() << "both updates loaded the file";
    } catch (const LoadError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot load DATADE.DAT: another update is running and loading it");
    }
    EXPECT_EQ(folder.count("PRIME"), 0);
    EXPECT_TRUE(folder.exists("DATADE.DAT"));
}

} // namespace
} // namespace kora::test
