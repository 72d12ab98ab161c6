#include "loading/ReadAhead.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kora {
namespace {

using test::TempFolder;
using test::writeFile;

constexpr int kRecordLength = 6;

// Record k: its number in six digits, blank for every tenth.
std::string record(int k)
{
    const std::string number = std::to_string(k);
    return k % 10 == 9 ? std::string(kRecordLength, ' ')
                       : std::string(kRecordLength - number.size(), '0') + number;
}

std::string records(int count)
{
    std::string bytes;
    for (int k = 0; k < count; ++k)
        bytes += record(k);
    return bytes;
}

// Around the batch size: every record written once, in file order, every
// record counted as read, the blank ones passed over.
TEST(ReadAhead, GivesEveryRecordInOrderAcrossItsBatches)
{
    for (int count : {0, 1, 511, 512, 513, 1024, 2049}) {
        TempFolder folder;
        writeFile(folder.file("DATA.DAT"), records(count));
        UpdateFile file(folder.file("DATA.DAT"), kRecordLength);
        ReadAhead<std::string> reading(file, [](const UpdateFile& record, std::string& item) {
            if (record.record().front() == ' ')
                return false;
            item.assign(record.record());
            return true;
        });
        std::vector<std::string> written;
        int read = 0;
        reading.forEach([&written](const std::string& item) { written.push_back(item); },
                        [&read] { ++read; });
        EXPECT_EQ(read, count);
        std::vector<std::string> expected;
        for (int k = 0; k < count; ++k)
            if (k % 10 != 9)
                expected.push_back(record(k));
        EXPECT_EQ(written, expected) << count << " records";
    }
}

// A record that cannot be converted stops the reading: its failure comes out
// of forEach and nothing after it is written; a write that fails ends the
// reading thread too, without waiting for the rest of the file.
TEST(ReadAhead, PassesOnAFailureOfEitherSide)
{
    TempFolder folder;
    writeFile(folder.file("DATA.DAT"), records(5000));
    {
        UpdateFile file(folder.file("DATA.DAT"), kRecordLength);
        ReadAhead<std::string> reading(file, [](const UpdateFile& record, std::string& item) {
            if (record.recordNumber() == 1500)
                throw std::runtime_error("record 1500 is damaged");
            item.assign(record.record());
            return true;
        });
        int written = 0;
        try {
            reading.forEach([&written](const std::string&) { ++written; }, [] {});
            ADD_FAILURE() << "no failure told";
        } catch (const std::runtime_error& failure) {
            EXPECT_STREQ(failure.what(), "record 1500 is damaged");
        }
        EXPECT_LT(written, 1500);
    }
    UpdateFile file(folder.file("DATA.DAT"), kRecordLength);
    ReadAhead<std::string> reading(file, [](const UpdateFile& record, std::string& item) {
        item.assign(record.record());
        return true;
    });
    EXPECT_THROW(reading.forEach(
                     [](const std::string& item) {
                         if (item == "000700")
                             throw std::runtime_error("disk full");
                     },
                     [] {}),
                 std::runtime_error);
}

} // namespace
} // namespace kora
