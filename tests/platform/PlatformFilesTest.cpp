// The file side of the platform layer, run natively and under Wine, so both
// implementations answer alike.
#include "platform/Platform.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

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

TEST(PlatformFiles, DirectoryPartKeepsTheSeparator)
{
    EXPECT_EQ(Platform::DirectoryPart("*.pic"), "");
    EXPECT_EQ(Platform::DirectoryPart("art/*.pic"), "art/");
    EXPECT_EQ(Platform::DirectoryPart("/a/b/x?.pic"), "/a/b/");
}

TEST(PlatformFiles, RenameOverMovesATemporaryOverTheTarget)
{
    ScratchFolder folder;
    std::string target = folder / "out.pic";
    ASSERT_TRUE(WriteBytes(target, {1, 2, 3, 4, 5, 6}));
    std::string temporary = Platform::TemporaryNameBeside(target.c_str());
    EXPECT_FALSE(FileExists(temporary));
    EXPECT_EQ(temporary.rfind(target, 0), 0u) << "the temporary lives beside the target";
    ASSERT_TRUE(WriteBytes(temporary, {9}));
    ASSERT_TRUE(Platform::RenameOver(temporary.c_str(), target.c_str()));
    Bytes bytes;
    ASSERT_TRUE(ReadBytes(target, bytes));
    EXPECT_EQ(bytes, (Bytes{9}));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"out.pic"}));
}

TEST(PlatformFiles, TemporaryNamesComeAtOnceWhereNoFileCanBe)
{
    // A missing folder, or a file where a folder should be: the name is handed
    // out at once and the open that follows reports the problem.
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "file", {1}));
    const std::string targets[] = {folder / "missing/out.bmp", folder / "file/out.bmp"};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        std::string temporary = Platform::TemporaryNameBeside(target.c_str());
        EXPECT_EQ(temporary.rfind(target, 0), 0u);
        EXPECT_EQ(Platform::OpenFile(temporary.c_str(), Platform::OPEN_WRITE | Platform::OPEN_CREATE),
                  Platform::INVALID_FILE);
    }
}

TEST(PlatformFiles, RenameOverRefusesAFolderAsTarget)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "out.pic");
    ASSERT_TRUE(WriteBytes(folder / "tmp", {9}));
    EXPECT_FALSE(Platform::RenameOver((folder / "tmp").c_str(), (folder / "out.pic").c_str()));
    EXPECT_TRUE(Platform::RemoveFile((folder / "tmp").c_str()));
    EXPECT_FALSE(Platform::RemoveFile((folder / "tmp").c_str()));
}

} // namespace
