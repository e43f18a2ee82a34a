#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "bitmap/PLTrace.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Trace files are written in text mode: on Windows their lines end in CR LF.
std::string TraceText(const std::string& path)
{
    Bytes bytes;
    if (!ReadBytes(path, bytes))
        return "<no trace file>";
    std::string text(bytes.begin(), bytes.end());
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

class Trace : public testing::Test {
protected:
    void TearDown() override { SetTrace(5, nullptr); }
};

TEST_F(Trace, DecoderErrorsCarryCodeAndPrefixedText)
{
    try {
        ThrowDecoderError(1, "Bitmap decoder: This isn't a bitmap.");
        FAIL() << "nothing thrown";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), 1);
        EXPECT_STREQ(e.Text(), "Decoder error: Bitmap decoder: This isn't a bitmap.\n");
    }
}

TEST_F(Trace, LongTextsAreKeptWhole)
{
    // A file name in a message is shown as given, and the reason after it is
    // never cut off, however long the name.
    const std::size_t lengths[] = {0, 1, 238, 239, 240, 300, 5000};
    for (std::size_t length : lengths) {
        SCOPED_TRACE(length);
        std::string text(length, 'x');
        text += ": Permission denied";
        try {
            ThrowDecoderError(-1, text.c_str());
        } catch (const PLTextException& e) {
            EXPECT_EQ(std::string(e.Text()), "Decoder error: " + text + "\n");
        }
    }
}

TEST_F(Trace, FormatTextHoldsWhatItFormats)
{
    EXPECT_EQ(FormatText("%s failed: %s", std::string(1000, 'n').c_str(), "No such file or directory"),
              std::string(1000, 'n') + " failed: No such file or directory");
    EXPECT_EQ(FormatText("%d x %d", 3, 4), "3 x 4");
    EXPECT_EQ(FormatText("%s", ""), "");
}

TEST_F(Trace, CopiesOwnTheirText)
{
    auto* original = new PLTextException(11, "End of file reached while decoding.\n");
    PLTextException copy(*original);
    delete original;
    EXPECT_EQ(copy.Code(), 11);
    EXPECT_STREQ(copy.Text(), "End of file reached while decoding.\n");
    PLTextException assigned(0, "");
    assigned = copy;
    EXPECT_STREQ(assigned.Text(), copy.Text());
}

TEST_F(Trace, IsSilentWithoutATraceFile)
{
    ScratchFolder folder;
    std::string bmp = folder / "picture.bmp";
    PLMemBitmap bitmap;
    bitmap.Create(3, 2, 8, false, false, {0, 0});
    PLBmpWriter().EncodeFile(bmp.c_str(), bitmap);
    PLMemBitmap decoded;
    PLBmpReader().DecodeFile(bmp.c_str(), decoded, 8);
    EXPECT_THROW(PLBmpReader().DecodeFile((folder / "missing.bmp").c_str(), decoded, 8), PLTextException);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"picture.bmp"}) << "no trace file, no stray file";
}

TEST_F(Trace, ADecodeAppendsTheStepsUpToTheConfiguredLevel)
{
    ScratchFolder folder;
    std::string bmp = folder / "picture.bmp";
    std::string trace = folder / "trace.txt";
    ASSERT_TRUE(WriteBytes(trace, {'o', 'l', 'd'}));
    PLMemBitmap bitmap;
    bitmap.Create(3, 2, 8, false, false, {0, 0});
    PLBmpWriter().EncodeFile(bmp.c_str(), bitmap);

    SetTrace(2, trace.c_str());
    EXPECT_FALSE(FileExists(trace)) << "a new configuration starts an empty trace";
    {
        PLBmpReader reader;
        PLMemBitmap decoded;
        reader.DecodeFile(bmp.c_str(), decoded, 8);
        EXPECT_THROW(reader.DecodeFile((folder / "missing.bmp").c_str(), decoded, 8), PLTextException);
    }
    EXPECT_EQ(TraceText(trace), "--- Decoding file " + bmp +
                                    ". ---\n"
                                    "Bitmap file signature found\n"
                                    "Bitmap header is ok.\n"
                                    "Decoding uncompressed 8 bit per pixel bitmap.\n"
                                    "--- Decoding file " +
                                    folder / "missing.bmp" +
                                    ". ---\n"
                                    "Decoder error: Opening " +
                                    folder / "missing.bmp" + " failed\n");

    // A reader's destruction stopped file tracing, and only that: the level
    // stays for the next configuration.
    std::string before = TraceText(trace);
    PLMemBitmap again;
    PLBmpReader().DecodeFile(bmp.c_str(), again, 8);
    EXPECT_EQ(TraceText(trace), before);
    std::string second = folder / "second.txt";
    SetTrace(2, second.c_str());
    {
        PLBmpReader reader;
    }
    TraceMessage(2, "after\n");
    EXPECT_FALSE(FileExists(second));
}

TEST_F(Trace, LevelsAboveTheTraceLevelAndPercentSignsAreHandled)
{
    ScratchFolder folder;
    std::string trace = folder / "trace.txt";
    SetTrace(1, trace.c_str());
    TraceMessage(2, "too detailed\n");
    TraceMessage(1, "100% of %s %d\n");
    TraceMessage(0, "errors always\n");
    EXPECT_EQ(TraceText(trace), "100% of %s %d\nerrors always\n");

    SetTrace(3, nullptr);
    TraceMessage(0, "nowhere\n");
    EXPECT_EQ(TraceText(trace), "100% of %s %d\nerrors always\n") << "a null name turns the file off";
}

TEST_F(Trace, EncodingIsTracedAtLevelOne)
{
    ScratchFolder folder;
    std::string trace = folder / "trace.txt";
    std::string bmp = folder / "out.bmp";
    SetTrace(1, trace.c_str());
    PLMemBitmap bitmap;
    PLBmpWriter().EncodeFile(bmp.c_str(), bitmap);
    EXPECT_EQ(TraceText(trace), "--- Encoding file " + bmp + ". ---\n");
}

} // namespace
