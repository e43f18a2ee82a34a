#include "bitmap/CMemSink.h"
#include "bitmap/PLFileInput.h"
#include "bitmap/PLFileOutput.h"
#include "bitmap/PLMemInput.h"
#include "bitmap/PLProgressListener.h"
#include "bitmap/PLTextException.h"
#include "tests/bitmap/BmpTestSupport.h"

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <climits>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Runs body and checks that it throws the exception with that code and text.
void ExpectFailure(const std::function<void()>& body, int code, const std::string& text)
{
    try {
        body();
        ADD_FAILURE() << "nothing thrown, expected: " << text;
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), code);
        EXPECT_EQ(std::string(e.Text()), text);
    }
}

const std::string END_OF_FILE = "End of file reached while decoding.\n";
const std::string OVERFLOW_TEXT = "Buffer overflow while encoding.\n";

Bytes Counting(int size)
{
    Bytes bytes(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 7);
    return bytes;
}

// Both sources over the same bytes, through one interface.
struct SourceUnderTest {
    std::string kind;
    std::unique_ptr<ScratchFolder> folder;
    std::unique_ptr<PLInput> source;
};

std::vector<SourceUnderTest> SourcesOver(const Bytes& bytes, PLProgressListener* progress = nullptr)
{
    std::vector<SourceUnderTest> sources;
    static std::vector<Bytes> keep;
    keep.push_back(bytes);
    auto memory = std::make_unique<PLMemInput>();
    memory->Open(keep.back().data(), static_cast<int>(bytes.size()));
    sources.push_back({"memory", nullptr, std::move(memory)});

    auto folder = std::make_unique<ScratchFolder>();
    std::string path = *folder / "data.bin";
    EXPECT_TRUE(WriteBytes(path, bytes));
    auto file = std::make_unique<PLFileInput>(progress);
    EXPECT_EQ(file->Open(path.c_str()), 0);
    sources.push_back({"file", std::move(folder), std::move(file)});
    return sources;
}

TEST(Sources, DeliverBytesInOrderAndRefuseToReadPastTheEnd)
{
    Bytes bytes = Counting(10);
    for (SourceUnderTest& s : SourcesOver(bytes)) {
        SCOPED_TRACE(s.kind);
        PLInput& source = *s.source;
        EXPECT_EQ(source.Size(), 10);
        const std::uint8_t* first = source.Read(4);
        EXPECT_EQ(Bytes(first, first + 4), Bytes(bytes.begin(), bytes.begin() + 4));
        EXPECT_NE(source.Read(0), nullptr);
        const std::uint8_t* rest = source.Read(6);
        EXPECT_EQ(Bytes(rest, rest + 6), Bytes(bytes.begin() + 4, bytes.end()));
        EXPECT_EQ(Bytes(first, first + 4), Bytes(bytes.begin(), bytes.begin() + 4)) << "addresses stay valid";
        EXPECT_EQ(source.Remaining(), 0);
        source.Read(0);
        ExpectFailure([&] { source.Read(1); }, 11, END_OF_FILE);
        EXPECT_EQ(source.Consumed(), 10) << "a refused read consumes nothing";
    }
}

TEST(Sources, RefuseNegativeAndHugeCounts)
{
    for (SourceUnderTest& s : SourcesOver(Counting(50))) {
        SCOPED_TRACE(s.kind);
        PLInput& source = *s.source;
        source.Read(10);
        const int counts[] = {-1, -100, INT_MIN, INT_MAX, 41};
        for (int count : counts) {
            SCOPED_TRACE(count);
            EXPECT_THROW(source.Read(count), PLTextException);
            EXPECT_EQ(source.Consumed(), 10);
        }
        EXPECT_NO_THROW(source.Read(40));
    }
}

TEST(Sources, AnEmptyFileOpensAndHasNothingToRead)
{
    for (SourceUnderTest& s : SourcesOver({})) {
        SCOPED_TRACE(s.kind);
        EXPECT_EQ(s.source->Size(), 0);
        ExpectFailure([&] { s.source->Read(2); }, 11, END_OF_FILE);
    }
}

TEST(Sources, PeekAndReadRestConsumeNothing)
{
    Bytes bytes = Counting(9000);
    for (SourceUnderTest& s : SourcesOver(bytes)) {
        SCOPED_TRACE(s.kind);
        PLInput& source = *s.source;
        source.Read(100);
        EXPECT_EQ(*source.Peek(1), bytes[100]);
        const std::uint8_t* rest = source.ReadRest();
        EXPECT_EQ(Bytes(rest, rest + 8900), Bytes(bytes.begin() + 100, bytes.end()));
        EXPECT_EQ(source.Consumed(), 100);
        const std::uint8_t* next = source.Read(8900);
        EXPECT_EQ(next, rest);
    }
}

TEST(FileInput, OpenFailsForEmptyMissingAndFolderPaths)
{
    ScratchFolder folder;
    const std::string paths[] = {"", folder / "missing.bmp", folder.Path()};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        PLFileInput source;
        EXPECT_EQ(source.Open(path.c_str()), -1);
    }
    PLFileInput source;
    EXPECT_EQ(source.Open(nullptr), -1);
}

TEST(FileInput, FilesLargerThanASignedSizeAreRefusedWhole)
{
    // Sparse files: the largest size that fits opens (its buffer is reserved,
    // not filled), anything beyond is refused and never read as a part.
    struct Case {
        std::uint64_t size;
        int result;
        std::string failure;
    };
    const Case cases[] = {
        {0x7FFFFFFF, 0, ""},
        {0x80000000, -1, "2147483648 bytes, at most 2147483647 can be read"},
        {0x100000000 + 12, -1, "4294967308 bytes, at most 2147483647 can be read"},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string path = folder / "sparse.bmp";
        ASSERT_TRUE(WriteSparseFile(path, {'B', 'M'}, c.size));
        PLFileInput source;
        EXPECT_EQ(source.Open(path.c_str()), c.result);
        EXPECT_EQ(source.OpenFailure(), c.failure);
        if (c.result == 0) {
            EXPECT_EQ(source.Size(), 0x7FFFFFFF);
            EXPECT_EQ(source.Read(3)[0], 'B');
        }
    }
}

TEST(FileInput, LargeReadsBeyondTheFirstFillAreServed)
{
    Bytes bytes = Counting(20000);
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "big.bin", bytes));
    PLFileInput source;
    ASSERT_EQ(source.Open((folder / "big.bin").c_str()), 0);
    const int steps[] = {1, 4095, 1, 5000, 10000, 903};
    std::size_t at = 0;
    for (int step : steps) {
        const std::uint8_t* got = source.Read(step);
        ASSERT_EQ(Bytes(got, got + step),
                  Bytes(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + step));
        at += static_cast<std::size_t>(step);
    }
    EXPECT_EQ(source.Remaining(), 0);
}

class RecordingListener : public PLProgressListener {
public:
    void OnProgress(double fraction) override { reports.push_back(fraction); }
    std::vector<double> reports;
};

TEST(FileInput, ReportsProgressAtEachKilobyteAndAtClose)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "data.bin", Counting(3000)));
    RecordingListener listener;
    PLFileInput source(&listener);
    ASSERT_EQ(source.Open((folder / "data.bin").c_str()), 0);
    for (int i = 0; i < 3000; ++i)
        source.Read(1);
    source.Close();
    std::vector<double> expected = {1024.0 / 3000, 2048.0 / 3000, 1.0};
    EXPECT_EQ(listener.reports, expected);
    EXPECT_EQ(source.Size(), 0);
}

TEST(Sinks, RefuseToOverflowTheirCapacity)
{
    CMemSink sink;
    ASSERT_EQ(sink.Open("memory", 100), 0);
    Bytes hundred = Counting(100);
    sink.Write(100, hundred.data());
    ExpectFailure([&] { sink.Write(1, hundred.data()); }, 11, OVERFLOW_TEXT);
    ExpectFailure([&] { sink.AppendByte(1); }, 11, OVERFLOW_TEXT);
    ExpectFailure([&] { sink.Write(-1, hundred.data()); }, 11, OVERFLOW_TEXT);
    EXPECT_EQ(sink.Position(), 100);
    EXPECT_EQ(Bytes(sink.GetBuffer(), sink.GetBuffer() + 100), hundred);

    CMemSink small;
    ASSERT_EQ(small.Open("memory", 3), 0);
    small.AppendByte(1);
    small.Write(2, hundred.data());
    ExpectFailure([&] { small.Write(INT_MAX, hundred.data()); }, 11, OVERFLOW_TEXT);
    EXPECT_EQ(small.Position(), 3);
}

TEST(Sinks, MemorySinkNeedsOpenBeforeItsBuffer)
{
    CMemSink sink;
    ExpectFailure([&] { sink.GetBuffer(); }, 7, "Open was not called for CMemSink");
    ASSERT_EQ(sink.Open("memory", 4), 0);
    EXPECT_NE(sink.GetBuffer(), nullptr);
    sink.Close();
    EXPECT_THROW(sink.GetBuffer(), PLTextException);
    EXPECT_EQ(sink.Open("memory", -1), -1);
}

TEST(FileOutput, CloseWritesExactlyTheBytesProduced)
{
    ScratchFolder folder;
    std::string path = folder / "out.bmp";
    Bytes bytes = Counting(1086);
    PLFileOutput sink;
    ASSERT_EQ(sink.Open(path.c_str(), 2000), 0);
    sink.Write(1000, bytes.data());
    for (int i = 1000; i < 1086; ++i)
        sink.AppendByte(bytes[static_cast<std::size_t>(i)]);
    EXPECT_FALSE(FileExists(path)) << "nothing reaches the target before Close";
    sink.Close();
    Bytes written;
    ASSERT_TRUE(ReadBytes(path, written));
    EXPECT_EQ(written, bytes);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.bmp"});
}

TEST(FileOutput, ASinkDestroyedWithoutCloseLeavesNoFileAndTheOldOneIntact)
{
    ScratchFolder folder;
    std::string path = folder / "out.bmp";
    {
        PLFileOutput sink;
        ASSERT_EQ(sink.Open(path.c_str(), 10), 0);
        sink.Write(5, "12345");
    }
    EXPECT_TRUE(folder.Names().empty());

    ASSERT_TRUE(WriteBytes(path, {'o', 'l', 'd'}));
    {
        PLFileOutput sink;
        ASSERT_EQ(sink.Open(path.c_str(), 10), 0);
        sink.Write(5, "12345");
    }
    Bytes kept;
    ASSERT_TRUE(ReadBytes(path, kept));
    EXPECT_EQ(kept, (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.bmp"});
}

TEST(FileOutput, OpenFailsWhereNoFileCanBeCreated)
{
    ScratchFolder folder;
    const std::string paths[] = {"", folder / "missing/out.bmp"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        PLFileOutput sink;
        EXPECT_EQ(sink.Open(path.c_str(), 10), -1);
    }
    EXPECT_TRUE(folder.Names().empty());
}

TEST(FileOutput, TargetsNoOpenForWritingAcceptsAreRefusedAtOpen)
{
    // Refused before anything is encoded, with the error a plain open gives,
    // and nothing is written anywhere.
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "taken");
    ASSERT_TRUE(WriteBytes(folder / "file", {1}));
    struct Case {
        std::string target;
        int error;
    };
    const Case cases[] = {
        {folder / "taken", EISDIR},
        {folder / "missing/out.bmp", ENOENT},
        {folder / "file/out.bmp", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        PLFileOutput sink;
        errno = 0;
        EXPECT_EQ(sink.Open(c.target.c_str(), 4), -1);
        EXPECT_STREQ(Platform::DescribeError(errno), Platform::DescribeError(c.error));
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"file", "taken"}));
}

TEST(FileOutput, ASinkDestroyedUnclosedTouchesNoFile)
{
    ScratchFolder folder;
    std::string target = folder / "out.bmp";
    ASSERT_TRUE(WriteBytes(target, {1, 2, 3}));
    {
        PLFileOutput sink;
        ASSERT_EQ(sink.Open(target.c_str(), 4), 0);
        sink.Write(4, "abcd");
    }
    Bytes bytes;
    ASSERT_TRUE(ReadBytes(target, bytes));
    EXPECT_EQ(bytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.bmp"});
}

} // namespace
