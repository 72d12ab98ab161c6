#include "base/Folders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace kora::test {
namespace {

TEST(Folders, TemporaryFolderIsPrivateToTheUserUnlessTmpdirNamesOne)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    unsetenv("TMPDIR");
    const std::string folder = Folders::temporaryFolder();
    EXPECT_TRUE(folder.starts_with("/tmp/kora-") && folder.ends_with('/')) << folder;
    struct stat info = {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & (S_IFMT | 0777), S_IFDIR | 0700u);
    EXPECT_EQ(info.st_uid, getuid());

    TempFolder scratch;
    setenv("TMPDIR", scratch.path().substr(0, scratch.path().size() - 1).c_str(), 1);
    EXPECT_EQ(Folders::temporaryFolder(), scratch.path());
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

} // namespace
} // namespace kora::test
