#include "LoadTestFolder.h"

#include "loading/LoadError.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

FixedRecord classListEntry(const std::string& code, const std::string& description)
{
    return FixedRecord(57).put(2, code).put(6, description);
}

// A standard class record: class 2-5, file 7-13, loss cost 18-22, sequence 23-24.
FixedRecord classRecord(const std::string& code, const std::string& file,
                        const std::string& sequence, const std::string& lossCost)
{
    return FixedRecord(52)
        .put(1, "P")
        .put(2, code)
        .put(7, file)
        .put(18, lossCost)
        .put(23, sequence);
}

TEST(ClassLoad, ClassListReplacesTheTableAndADuplicateChangesNothing)
{
    LoadTestFolder folder("PA");
    folder.db().execute("INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('0001', 'OLD')");
    folder.write("CLASSES.DAT", {classListEntry("8810", "CLERICAL OFFICE EMPLOYEES NOC"),
                                 classListEntry("9999", "NOT USED").put(1, "  "),
                                 classListEntry("5403", "CARPENTRY NOC")});
    folder.loader().loadClassList();
    EXPECT_FALSE(folder.exists("CLASSES.DAT"));
    const Rows loaded = {"5403|CARPENTRY NOC" + std::string(37, ' '),
                         "8810|CLERICAL OFFICE EMPLOYEES NOC" + std::string(21, ' ')};
    EXPECT_EQ(folder.rows("SELECT CLASS, [DESC] FROM CLASSLIST ORDER BY CLASS"), loaded);
    EXPECT_TRUE(folder.progress.texts.empty());

    folder.write("CLASSES.DAT",
                 {classListEntry("8810", "CLERICAL"), classListEntry("8810", "AGAIN")});
    EXPECT_THROW(folder.loader().loadClassList(), LoadError);
    EXPECT_TRUE(folder.exists("CLASSES.DAT"));
    EXPECT_EQ(folder.rows("SELECT CLASS, [DESC] FROM CLASSLIST ORDER BY CLASS"), loaded);
}

TEST(ClassLoad, StandardClassData)
{
    LoadTestFolder folder("PA");
    folder.db().execute(
        "INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('5403', 'CARPENTRY NOC'), "
        "('8810', 'CLERICAL');"
        "INSERT INTO CLASS (FILE, SEQUENCE, CLASS) VALUES ('9999999', '01', '0001')");
    folder.write("DATA1PA.DAT",
                 {classRecord("5403", "1000001", "01", "01234"),
                  classRecord("1234", "1000001", "01", "00000"),
                  // The same company and class again: equal loss cost, then a different one.
                  classRecord("8810", "1000002", "02", "00031"),
                  classRecord("8810", "1000002", "02", "00031"),
                  classRecord("5403", "1000003", "01", "00500"),
                  classRecord("5403", "1000003", "01", "00750"),
                  classRecord("8810", "1000004", "01", "  X  "),
                  // A loss cost that cannot be read keeps the one already loaded.
                  classRecord("5403", "1000003", "01", "0X750"),
                  classRecord("8810", "1000009", "01", "00100").put(1, "  ")});
    folder.loader().loadClasses();

    EXPECT_FALSE(folder.exists("DATA1PA.DAT"));
    EXPECT_EQ(
        folder.rows("SELECT FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, LOSSCOST FROM CLASS "
                    "ORDER BY FILE, CLASS"),
        (Rows{"1000001|01|100000101|1234|-|0", "1000001|01|100000101|5403|CARPENTRY NOC|12.34",
              "1000002|02|100000202|8810|CLERICAL|0.31",
              "1000003|01|100000301|5403|CARPENTRY NOC|7.5",
              "1000004|01|100000401|8810|CLERICAL|-"}));
    // Hundredths are exact, so equality finds the loss cost.
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM CLASS WHERE LOSSCOST = 0.31"), Value(1));
    EXPECT_EQ(folder.progress.texts, Rows{"TOTAL CLASSES ADDED IS 0"});
}

TEST(ClassLoad, NewYorkClassDataMatchesNewYorkCompanies)
{
    LoadTestFolder folder("NY");
    std::vector<FixedRecord> records;
    for (int i = 0; i < 2001; ++i)
        records.push_back(FixedRecord(52)
                              .put(2, "8810")
                              .put(7, std::to_string(1000000 + i))
                              .put(14, "01")
                              .put(16, "0001234"));
    folder.write("DATA1NY.DAT", records);
    folder.loader().loadNewYorkClasses();

    EXPECT_EQ(folder.count("CLASS"), 2001);
    EXPECT_EQ(folder.rows("SELECT FILE, FILESEQ, LOSSCOST FROM CLASS WHERE FILE = '100 00 07'"),
              Rows{"100 00 07|100 00 0701|12.34"});
    EXPECT_EQ(folder.progress.texts,
              (Rows{"TOTAL CLASSES ADDED IS 0", "TOTAL CLASSES ADDED IS 1000",
                    "TOTAL CLASSES ADDED IS 2000"}));
}

} // namespace
} // namespace kora::test
