#include "converter/support/ByteBuffer.h"
#include "converter/support/FileHandle.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(FileHandle, ReadOnlyOpenNeedsAnExistingFileAndWriteOpenCreatesOne)
{
    ScratchFolder folder;
    std::string name = folder / "new.pic";
    FileHandle file;
    EXPECT_FALSE(file.Open(name.c_str(), FileHandle::READ));
    EXPECT_FALSE(FileExists(name));
    EXPECT_TRUE(file.Open(name.c_str(), FileHandle::WRITE | FileHandle::CREATE));
    EXPECT_TRUE(FileExists(name));
}

TEST(FileHandle, ClosedHandleAnswersWithFailureValues)
{
    FileHandle file;
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0);
    EXPECT_EQ(file.Write(&byte, 1), 0);
    EXPECT_EQ(file.Seek(0, 0), -1);
    EXPECT_EQ(file.GetSize(), 0u);
    ByteBuffer buffer;
    buffer.Append("x", 1);
    EXPECT_EQ(buffer.ReadFrom(file), 1);
    EXPECT_EQ(buffer.Size(), 0) << "a closed file yields an empty buffer";
}

TEST(FileHandle, WritesSeeksAndReadsBack)
{
    ScratchFolder folder;
    std::string name = folder / "data.bin";
    {
        FileHandle file;
        ASSERT_TRUE(file.Open(name.c_str(), 6));
        EXPECT_EQ(file.Write("0123456789", 10), 10);
        EXPECT_EQ(file.GetSize(), 10u);
        EXPECT_EQ(file.Seek(4, 1), 4);
        EXPECT_EQ(file.Seek(2, 0), 6);
        EXPECT_EQ(file.Seek(-1, 2), 9);
        EXPECT_EQ(file.Seek(3, 77), 3) << "an unknown origin counts from the start";
    }
    FileHandle file;
    ASSERT_TRUE(file.Open(name.c_str(), 1));
    ASSERT_EQ(file.Seek(7, 1), 7);
    ByteBuffer rest;
    rest.ReadFrom(file);
    ASSERT_EQ(rest.Size(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rest.Data()), 3), "789");

    file.Seek(0, 2);
    rest.ReadFrom(file);
    EXPECT_EQ(rest.Size(), 0) << "at its end a file has nothing left";
}

TEST(FileHandle, SizesPast4GiBAreWholeAndReadFromRefusesThem)
{
    // Sparse files beginning with 3 bytes: a size cut to its low 32 bits
    // would read the 4 GiB + 3 one as those 3 bytes.
    struct Case {
        std::uint64_t size;
        int result;
        int bytesRead;
    };
    const Case cases[] = {
        {3, 1, 3},
        {0x80000000, 0, 0},
        {0x100000000 + 3, 0, 0},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string name = folder / "sparse.pic";
        ASSERT_TRUE(WriteSparseFile(name, {7, 8, 9}, c.size));
        FileHandle file;
        ASSERT_TRUE(file.Open(name.c_str(), FileHandle::READ));
        EXPECT_EQ(file.GetSize(), c.size);
        ByteBuffer buffer;
        buffer.Append("old", 3);
        EXPECT_EQ(buffer.ReadFrom(file), c.result);
        EXPECT_EQ(buffer.Size(), c.bytesRead);
    }
}

TEST(FileHandle, LoadFileReadsWholeFilesAndMissesMissingOnes)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "a.bin", {7, 8, 9}));
    ByteBuffer buffer;
    EXPECT_TRUE(buffer.LoadFile((folder / "a.bin").c_str()));
    ASSERT_EQ(buffer.Size(), 3);
    EXPECT_EQ(buffer.Data()[2], 9);
    EXPECT_FALSE(buffer.LoadFile((folder / "b.bin").c_str()));
}

} // namespace
