#include "LoadTestFolder.h"
#include "RecordedProgress.h"

#include "loading/DataLoader.h"
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

TEST(ClassLoad, ClassListReplacesTheTable)
{
    LoadTestFolder folder("PA");
    folder.db().execute("INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('0001', 'OLD')");
    FixedRecord blankFirst = classListEntry("8810", "CLERICAL OFFICE EMPLOYEES NOC");
    FixedRecord blankSecond = classListEntry("9999", "NOT USED");
    blankSecond.put(1, "  ");
    folder.write("CLASSES.DAT", {blankFirst, blankSecond, classListEntry("5403", "CARPENTRY NOC")});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadClassList();

    EXPECT_FALSE(folder.exists("CLASSES.DAT"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(CLASS, ',') FROM (SELECT CLASS FROM CLASSLIST "
                           "ORDER BY CLASS)"),
              Value("5403,8810"));
    EXPECT_EQ(folder.value("SELECT [DESC] FROM CLASSLIST WHERE CLASS = '8810'"),
              Value("CLERICAL OFFICE EMPLOYEES NOC" + std::string(21, ' ')));
    EXPECT_TRUE(progress.texts.empty());
}

TEST(ClassLoad, DuplicateClassCodeFailsAndChangesNothing)
{
    LoadTestFolder folder("PA");
    folder.db().execute("INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('0001', 'OLD')");
    folder.write("CLASSES.DAT",
                 {classListEntry("8810", "CLERICAL"), classListEntry("8810", "AGAIN")});
    RecordedProgress progress;
    EXPECT_THROW(DataLoader(folder.db(), folder.path(), "PA", progress).loadClassList(),
                 LoadError);
    EXPECT_TRUE(folder.exists("CLASSES.DAT"));
    EXPECT_EQ(folder.value("SELECT GROUP_CONCAT(CLASS) FROM CLASSLIST"), Value("0001"));
}

TEST(ClassLoad, StandardClassData)
{
    LoadTestFolder folder("PA");
    folder.db().execute(
        "INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('5403', 'CARPENTRY NOC'), "
        "('8810', 'CLERICAL');"
        "INSERT INTO CLASS (FILE, SEQUENCE, CLASS) VALUES ('9999999', '01', '0001')");
    FixedRecord skipped = classRecord("8810", "1000009", "01", "00100");
    skipped.put(1, "  ");
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
                  classRecord("5403", "1000003", "01", "0X750"), skipped});
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "PA", progress).loadClasses();

    EXPECT_FALSE(folder.exists("DATA1PA.DAT"));
    EXPECT_EQ(folder.count("CLASS"), 5);
    Statement rows = folder.db().prepare(
        "SELECT FILE || '|' || SEQUENCE || '|' || FILESEQ || '|' || CLASS || '|' || "
        "COALESCE(CLASSDESC, '-') || '|' || COALESCE(LOSSCOST, '-') FROM CLASS "
        "ORDER BY FILE, CLASS");
    std::vector<std::string> texts;
    while (rows.step())
        texts.push_back(rows.column(0).toString());
    EXPECT_EQ(texts, (std::vector<std::string>{"1000001|01|100000101|1234|-|0.0",
                                               "1000001|01|100000101|5403|CARPENTRY NOC|12.34",
                                               "1000002|02|100000202|8810|CLERICAL|0.31",
                                               "1000003|01|100000301|5403|CARPENTRY NOC|7.5",
                                               "1000004|01|100000401|8810|CLERICAL|-"}));
    // Hundredths are exact, so equality finds the loss cost.
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM CLASS WHERE LOSSCOST = 0.31"), Value(1));
    EXPECT_EQ(progress.texts, std::vector<std::string>{"TOTAL CLASSES ADDED IS 0"});
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
    RecordedProgress progress;
    DataLoader(folder.db(), folder.path(), "NY", progress).loadNewYorkClasses();

    EXPECT_EQ(folder.count("CLASS"), 2001);
    EXPECT_EQ(folder.value("SELECT FILE || '|' || FILESEQ || '|' || LOSSCOST FROM CLASS "
                           "WHERE FILE = '100 00 07'"),
              Value("100 00 07|100 00 0701|12.34"));
    EXPECT_EQ(progress.texts,
              (std::vector<std::string>{"TOTAL CLASSES ADDED IS 0", "TOTAL CLASSES ADDED IS 1000",
                                        "TOTAL CLASSES ADDED IS 2000"}));
}

} // namespace
} // namespace kora::test
