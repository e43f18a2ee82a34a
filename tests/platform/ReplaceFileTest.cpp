// Replacing a file's content, natively and under Wine: the outcomes a user
// relies on whatever the system (the POSIX-only ones, links and modes, are in
// PosixReplaceFileTest.cpp).
#include "platform/Platform.h"
#include "tests/common/TestFiles.h"
#include "tests/platform/ReplaceTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

const Bytes OLD_CONTENT = {'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
const Bytes NEW_CONTENT = {'n', 'e', 'w'};

TEST(ReplaceFile, WritesTheWholeContentAndNothingElse)
{
    struct Case {
        const char* name;
        const Bytes* before; // null: no file yet
        Bytes content;
    };
    const Case cases[] = {
        {"a new file", nullptr, NEW_CONTENT},
        {"a longer file loses its old tail", &OLD_CONTENT, NEW_CONTENT},
        {"a shorter file grows", &NEW_CONTENT, OLD_CONTENT},
        {"an empty content empties the file", &OLD_CONTENT, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        std::string target = folder / "out.pic";
        if (c.before != nullptr) {
            ASSERT_TRUE(WriteBytes(target, *c.before));
        }
        int error = 0;
        EXPECT_TRUE(Platform::MayReplaceFile(target.c_str(), error));
        ASSERT_TRUE(Replace(target, c.content, error)) << Platform::DescribeError(error);
        EXPECT_EQ(ContentOf(target), c.content);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.pic"}) << "no temporary file is left";
    }
}

TEST(ReplaceFile, RefusesWhatAPlainOpenRefusesAndChangesNothing)
{
    ScratchFolder folder;
    fs::create_directory(folder / "folder.pic");
    ASSERT_TRUE(WriteBytes(folder / "file", OLD_CONTENT));
    struct Case {
        std::string target;
        int error;
    };
    const Case cases[] = {
        {folder / "missing/out.pic", ENOENT},
        {folder / "file/out.pic", ENOENT},
        {folder / "folder.pic", EISDIR},
        {"", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        int error = 0;
        EXPECT_FALSE(Platform::MayReplaceFile(c.target.c_str(), error));
        EXPECT_STREQ(Platform::DescribeError(error), Platform::DescribeError(c.error));
        error = 0;
        EXPECT_FALSE(Replace(c.target, NEW_CONTENT, error));
        EXPECT_STREQ(Platform::DescribeError(error), Platform::DescribeError(c.error));
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"file", "folder.pic"}));
    EXPECT_TRUE(fs::is_empty(folder / "folder.pic"));
    EXPECT_EQ(ContentOf(folder / "file"), OLD_CONTENT);
}

TEST(ReplaceFile, AReadOnlyFileIsRefusedAsThePlatformRefusesIt)
{
    // Read-only for everyone: Windows refuses it to every user, POSIX to all
    // but root, as a plain open for writing decides.
    ScratchFolder folder;
    std::string target = folder / "locked.pic";
    ASSERT_TRUE(WriteBytes(target, OLD_CONTENT));
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    bool writable = false;
    if (Platform::NativeNameRules() == Platform::NameRules::POSIX) {
        std::FILE* plain = std::fopen(target.c_str(), "r+b");
        writable = plain != nullptr;
        if (plain != nullptr)
            std::fclose(plain);
    }

    int error = 0;
    EXPECT_EQ(Platform::MayReplaceFile(target.c_str(), error), writable);
    EXPECT_EQ(Replace(target, NEW_CONTENT, error), writable);
    EXPECT_EQ(ContentOf(target), writable ? NEW_CONTENT : OLD_CONTENT);
    if (!writable) {
        EXPECT_STREQ(Platform::DescribeError(error), "Permission denied");
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"locked.pic"});
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
}

TEST(ReplaceFile, AHardLinkedFileStaysOneFile)
{
    ScratchFolder folder;
    std::string target = folder / "a.pic";
    ASSERT_TRUE(WriteBytes(target, OLD_CONTENT));
    fs::create_hard_link(target, folder / "twin.pic");
    int error = 0;
    ASSERT_TRUE(Replace(target, NEW_CONTENT, error)) << Platform::DescribeError(error);
    EXPECT_EQ(ContentOf(folder / "twin.pic"), NEW_CONTENT);
    EXPECT_TRUE(Platform::SameFile(target.c_str(), (folder / "twin.pic").c_str()));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.pic", "twin.pic"}));
}

TEST(ReplaceFile, AnyLegalNameWorks)
{
    // A temporary name made by adding to the target's could not exist beside
    // a name of the longest length a folder takes; on Windows the whole path
    // is held to 259 characters, which a name may fill to the last one.
    constexpr std::size_t WINDOWS_MAX_PATH_CHARACTERS = 259;
    constexpr std::size_t POSIX_MAX_NAME_BYTES = 255;
    ScratchFolder folder;
    bool windows = Platform::NativeNameRules() == Platform::NameRules::WINDOWS;
    std::string longest(windows ? WINDOWS_MAX_PATH_CHARACTERS - folder.Path().size() - 1 : POSIX_MAX_NAME_BYTES, 'n');
    longest.replace(longest.size() - 4, 4, ".pic");
    const std::string names[] = {longest, "a.pic", std::string(200, 'b') + ".bmp"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        std::string target = folder / name;
        int error = 0;
        ASSERT_TRUE(Replace(target, OLD_CONTENT, error)) << Platform::DescribeError(error);
        ASSERT_TRUE(Replace(target, NEW_CONTENT, error)) << Platform::DescribeError(error);
        EXPECT_EQ(ContentOf(target), NEW_CONTENT);
        fs::remove(target);
        EXPECT_TRUE(folder.Names().empty());
    }
}

TEST(ReplaceFile, ResolvesNamesAsTheSystemDoes)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "VALLEY.PIC", OLD_CONTENT));
    ASSERT_TRUE(WriteBytes(folder / "twin.pic", OLD_CONTENT));
    ASSERT_TRUE(WriteBytes(folder / "TWIN.PIC", OLD_CONTENT));
    bool windows = Platform::NativeNameRules() == Platform::NameRules::WINDOWS;
    struct Case {
        std::string typed;
        std::string resolved; // on POSIX; Windows keeps every name as typed
    };
    const Case cases[] = {
        {folder / "VALLEY.PIC", folder / "VALLEY.PIC"},
        {folder / "valley.pic", folder / "VALLEY.PIC"},
        {folder / "Valley.Pic", folder / "VALLEY.PIC"},
        // Two entries equal but for case: no choice is made.
        {folder / "Twin.pic", folder / "Twin.pic"},
        {folder / "new.pic", folder / "new.pic"},
        {folder / "missing/valley.pic", folder / "missing/valley.pic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(Platform::ResolveNameCase(c.typed.c_str()), windows ? c.typed : c.resolved);
    }
    EXPECT_EQ(Platform::SameName("a.pic", "A.PIC"), windows);
    EXPECT_TRUE(Platform::SameName("a.pic", "a.pic"));
    EXPECT_FALSE(Platform::SameName("a.pic", "a.bmp"));
    EXPECT_TRUE(Platform::SameFile((folder / "VALLEY.PIC").c_str(), (folder / "VALLEY.PIC").c_str()));
    EXPECT_FALSE(Platform::SameFile((folder / "VALLEY.PIC").c_str(), (folder / "twin.pic").c_str()));
    EXPECT_FALSE(Platform::SameFile((folder / "new.pic").c_str(), (folder / "new.pic").c_str()));
}

} // namespace
