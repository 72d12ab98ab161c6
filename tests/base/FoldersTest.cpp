#include "base/Folders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace kora::test {
namespace {

// Sets or clears TMPDIR for one test and puts it back afterwards.
class TmpdirGuard
{
public:
    explicit TmpdirGuard(const char* value)
    {
        if (const char* old = std::getenv("TMPDIR"))
            m_old = old;
        if (value)
            setenv("TMPDIR", value, 1);
        else
            unsetenv("TMPDIR");
    }
    ~TmpdirGuard()
    {
        if (m_old)
            setenv("TMPDIR", m_old->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> m_old;
};

TEST(Folders, TemporaryFolderIsPrivateToTheUser)
{
    TmpdirGuard guard(nullptr);
    const std::string folder = Folders::temporaryFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder.rfind("/tmp/kora-", 0), 0u);
    struct stat info
    {
    };
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, getuid());
}

TEST(Folders, TmpdirWinsWhenSet)
{
    TempFolder scratch;
    std::string withoutSlash = scratch.path();
    withoutSlash.pop_back();
    TmpdirGuard guard(withoutSlash.c_str());
    EXPECT_EQ(Folders::temporaryFolder(), scratch.path());
}

} // namespace
} // namespace kora::test
