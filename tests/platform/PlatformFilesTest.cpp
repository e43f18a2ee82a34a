// The file side of the platform layer, run natively and under Wine, so both
// implementations answer alike.
#include "platform/Platform.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

TEST(PlatformFiles, OpenNeverAcceptsAFolderOrAMissingFile)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "art.pic");
    EXPECT_EQ(Platform::OpenFile((folder / "art.pic").c_str(), Platform::OPEN_READ), Platform::INVALID_FILE);
    EXPECT_EQ(Platform::OpenFile((folder / "missing.pic").c_str(), Platform::OPEN_READ), Platform::INVALID_FILE);
    EXPECT_EQ(Platform::OpenFile("", Platform::OPEN_READ | Platform::OPEN_WRITE | Platform::OPEN_CREATE),
              Platform::INVALID_FILE);
}

TEST(PlatformFiles, FileSizeIsTheWholeSize)
{
    // Sizes around the 2 GiB and 4 GiB marks, where a 32-bit size is negative
    // or wraps; the files are sparse, so nothing is written.
    const std::uint64_t sizes[] = {0, 12, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x100000000 + 12};
    ScratchFolder folder;
    for (std::uint64_t size : sizes) {
        SCOPED_TRACE(size);
        std::string name = folder / ("f" + std::to_string(size));
        ASSERT_TRUE(WriteSparseFile(name, {'X', '0'}, size));
        Platform::FileId file = Platform::OpenFile(name.c_str(), Platform::OPEN_READ);
        ASSERT_NE(file, Platform::INVALID_FILE);
        EXPECT_EQ(Platform::FileSize(file), size);
        Platform::CloseFile(file);
    }
    EXPECT_EQ(Platform::FileSize(Platform::INVALID_FILE), 0u);
}

TEST(PlatformFiles, PathExistsForFilesAndFoldersOnly)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "a.pic", {1}));
    EXPECT_TRUE(Platform::PathExists((folder / "a.pic").c_str()));
    EXPECT_TRUE(Platform::PathExists(folder.Path().c_str()));
    EXPECT_FALSE(Platform::PathExists((folder / "b.pic").c_str()));
    EXPECT_FALSE(Platform::PathExists((folder / "no-folder/b.pic").c_str()));
}

TEST(PlatformFiles, FindMatchesListsBareNamesWithoutRegardToCase)
{
    ScratchFolder folder;
    for (const char* name : {"b.pic", "A.PIC", "c.bmp", "d.pic.old"})
        ASSERT_TRUE(WriteBytes(folder / name, {0}));
    std::vector<std::string> names = Platform::FindMatches((folder / "*.pic").c_str());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.PIC", "b.pic"}));
    EXPECT_TRUE(Platform::FindMatches((folder / "*.gif").c_str()).empty());
    EXPECT_TRUE(Platform::FindMatches((folder / "missing/*.pic").c_str()).empty());
}

TEST(PlatformFiles, FolderPartKeepsTheSeparator)
{
    EXPECT_EQ(Platform::FolderPart("*.pic"), "");
    EXPECT_EQ(Platform::FolderPart("art/*.pic"), "art/");
    EXPECT_EQ(Platform::FolderPart("/a/b/x?.pic"), "/a/b/");
}

TEST(PlatformFiles, SystemErrorsReadTheSameOnEverySystem)
{
    // The words of the Linux build's C library, which the Windows build's
    // words differently for some of them (ENOMEM there is "Not enough space").
    struct Case {
        int error;
        const char* text;
        // clang-format off
    } cases[] = {
        {ENOENT, "No such file or directory"}, {ENOTDIR, "No such file or directory"},
        {EACCES, "Permission denied"},         {EPERM, "Operation not permitted"},
        {EEXIST, "File exists"},               {EISDIR, "Is a directory"},
        {ENOSPC, "No space left on device"},   {EROFS, "Read-only file system"},
        {ENAMETOOLONG, "File name too long"},  {ENOMEM, "Cannot allocate memory"},
        {EMFILE, "Too many open files"},       {ENFILE, "Too many open files in system"},
        {EIO, "Input/output error"},           {EINVAL, "Invalid argument"},
        {EFBIG, "File too large"},             {EBUSY, "Device or resource busy"},
        {Platform::NOT_A_FILE, "Not a regular file"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(Platform::DescribeError(c.error), c.text);
    }
    // Others keep the runtime's own words.
    EXPECT_STREQ(Platform::DescribeError(EDOM), std::strerror(EDOM));
}

} // namespace
