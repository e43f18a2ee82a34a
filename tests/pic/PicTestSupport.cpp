#include "tests/pic/PicTestSupport.h"

#include "pic/PicFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

void Fill(ByteBuffer& buffer, const Bytes& bytes)
{
    buffer.Clear();
    buffer.Append(bytes.data(), static_cast<int>(bytes.size()));
}

Bytes ToBytes(const ByteBuffer& buffer)
{
    return Bytes(buffer.Data(), buffer.Data() + buffer.Size());
}

std::string Hex(const Bytes& bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : " %02X", byte);
        text += pair;
    }
    return text;
}

std::string Describe(const PicRefusal& refusal)
{
    const char* names[] = {"NONE",
                           "FILE_TOO_LARGE",
                           "FILE_OUT_OF_MEMORY",
                           "IMAGE_CHUNK_TOO_LARGE",
                           "IMAGE_OUT_OF_MEMORY",
                           "PICTURE_TOO_LARGE",
                           "STREAM_TOO_LONG",
                           "SAVE_OUT_OF_MEMORY",
                           "NOT_WRITTEN"};
    std::string text = names[refusal.kind];
    if (refusal.width != 0 || refusal.height != 0)
        text += " " + std::to_string(refusal.width) + " x " + std::to_string(refusal.height);
    if (refusal.bytes != 0)
        text += " " + std::to_string(refusal.bytes) + " bytes";
    if (refusal.limit != 0)
        text += ", limit " + std::to_string(refusal.limit);
    if (refusal.systemError != 0)
        text += ", error " + std::to_string(refusal.systemError);
    return text;
}

Bytes EncodeRunBytes(const Bytes& pixels)
{
    ByteBuffer in, runs;
    Fill(in, pixels);
    EXPECT_TRUE(PicFile::EncodeRuns(static_cast<int>(pixels.size()), 1, in, runs));
    return ToBytes(runs);
}

Bytes ExpandRunBytes(const Bytes& runs, std::size_t total)
{
    ByteBuffer in, pixels;
    Fill(in, runs);
    EXPECT_TRUE(PicFile::ExpandRuns(static_cast<int>(total), 1, in, pixels));
    return ToBytes(pixels);
}

Bytes EncodePixels(int width, int height, const Bytes& pixels)
{
    ByteBuffer in, runs, stream;
    Fill(in, pixels);
    EXPECT_TRUE(PicFile::EncodeRuns(width, height, in, runs));
    EXPECT_TRUE(PicFile::EncodeCodes(width, height, runs, stream));
    return ToBytes(stream);
}

Bytes DecodeStream(int width, int height, const Bytes& stream)
{
    ByteBuffer in, runs, pixels;
    Fill(in, stream);
    EXPECT_TRUE(PicFile::DecodeCodes(width, height, in, runs));
    EXPECT_TRUE(PicFile::ExpandRuns(width, height, runs, pixels));
    return ToBytes(pixels);
}

Bytes SavedBytes(PicFile& pic, bool writePalette)
{
    ScratchFolder folder;
    EXPECT_TRUE(pic.Save((folder / "out.pic").c_str(), writePalette));
    Bytes bytes;
    EXPECT_TRUE(ReadBytes(folder / "out.pic", bytes));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.pic"});
    return bytes;
}

Bytes Noise(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<unsigned char>(random());
    return bytes;
}

Bytes Blobs(std::size_t count, std::uint32_t seed, int colors, int longestRun)
{
    std::mt19937 random(seed);
    Bytes bytes;
    while (bytes.size() < count) {
        auto color = static_cast<unsigned char>(random() % static_cast<unsigned>(colors));
        std::size_t run = 1 + random() % static_cast<unsigned>(longestRun);
        bytes.insert(bytes.end(), run, color);
    }
    bytes.resize(count);
    return bytes;
}
