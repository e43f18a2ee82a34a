// BMP read and write speed on the benchmark pictures, in memory and through
// files, and a true-colour file read whole and row by row beside the same
// picture at 8 bits. Bytes processed are the BMP file's bytes.
#include "bitmap/CMemSink.h"
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLRowSink.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Pictures of their own, not the codec benchmark's (bench/pic/BenchPictures.h),
// and named apart from those: what RLE8 costs depends on the runs, so each
// picture has runs of its own length: one pixel for the noise, a few for
// the ramps, eight for the stripes, 64 and more for the boxes.
enum Picture { RAMPS_320x200, LCG_NOISE_320x200, STRIPES_1024x1024, BOXES_2048x2048 };

// An 8-bit picture of the given kind, with a colour ramp for its table; at
// the size its name gives unless another is asked for.
std::unique_ptr<PLMemBitmap> MakePicture(int kind, int width = 0, int height = 0)
{
    static const int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const int sides[][2] = {{320, 200}, {320, 200}, {1024, 1024}, {2048, 2048}};
    if (width == 0) {
        width = sides[kind][0];
        height = sides[kind][1];
    }
    auto bitmap = std::make_unique<PLMemBitmap>();
    bitmap->Create(width, height, 8, false, false, {0, 0});
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap->Lines()[y];
        for (int x = 0; x < width; ++x) {
            int value = 0;
            switch (kind) {
            case RAMPS_320x200: // 16 shades, ordered dither between neighbours
                value = std::min(15, (x * 256 / width + BAYER[y & 3][x & 3]) / 16) * 16 + y * 16 / height;
                break;
            case LCG_NOISE_320x200:
                state = state * 1103515245u + 12345u;
                value = static_cast<int>(state >> 16);
                break;
            case STRIPES_1024x1024:
                value = (x + y) / 8;
                break;
            default: // a flat field with a few boxes
                value = (x / 256 + y / 256) % 5 == 0 && x % 256 < 64 ? 1 + y / 256 : 0;
                break;
            }
            row[x] = static_cast<std::uint8_t>(value);
        }
    }
    for (int i = 0; i < 256; ++i)
        bitmap->ColorTable()[i] = PLColor(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                          static_cast<std::uint8_t>(i / 2), 0);
    return bitmap;
}

const char* const NAMES[] = {"ramps 320x200", "lcg noise 320x200", "stripes 1024x1024", "boxes 2048x2048"};

Bytes Encode(const PLBitmap& bitmap)
{
    PLBmpWriter writer;
    CMemSink sink;
    sink.Open("bench", static_cast<int>(writer.EncodedBytes(bitmap)));
    writer.EncodeTo(bitmap, sink);
    return Bytes(sink.GetBuffer(), sink.GetBuffer() + sink.Position());
}

// The same picture as RLE8: runs of equal pixels, each row ended, then the end of bitmap.
Bytes EncodeRle8(const PLBitmap& bitmap)
{
    Bytes file = Encode(bitmap);
    file.resize(1078);
    file[30] = 1; // compression: RLE8
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        const std::uint8_t* row = bitmap.Lines()[y];
        for (int x = 0; x < bitmap.Width();) {
            int run = 1;
            while (x + run < bitmap.Width() && run < 255 && row[x + run] == row[x])
                ++run;
            file.push_back(static_cast<std::uint8_t>(run));
            file.push_back(row[x]);
            x += run;
        }
        file.insert(file.end(), {0, 0});
    }
    file.insert(file.end(), {0, 1});
    return file;
}

// The dithered picture at 640 x 400 is read as an 8-bit file and as a 24-bit
// file of the same colours: what a modder's editor turns the one into.
std::unique_ptr<PLMemBitmap> MakeDithered640x400()
{
    return MakePicture(RAMPS_320x200, 640, 400);
}

void AppendLittle(Bytes& bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes EncodeTrueColor24(const PLBitmap& indexed)
{
    int width = indexed.Width();
    int height = indexed.Height();
    auto rowBytes = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    Bytes file = {'B', 'M'};
    AppendLittle(file, 54 + rowBytes * static_cast<std::uint32_t>(height), 4);
    AppendLittle(file, 0, 4);
    AppendLittle(file, 54, 4); // pixels after the headers
    AppendLittle(file, 40, 4); // info header
    AppendLittle(file, static_cast<std::uint32_t>(width), 4);
    AppendLittle(file, static_cast<std::uint32_t>(height), 4);
    AppendLittle(file, 1, 2);
    AppendLittle(file, 24, 2); // 24 bits, uncompressed
    file.resize(54, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const PLColor& c = indexed.ColorTable()[indexed.Lines()[y][x]];
            file.insert(file.end(), {c.b, c.g, c.r});
        }
        file.resize(file.size() + rowBytes - static_cast<std::size_t>(width) * 3, 0);
    }
    return file;
}

// Decodes file at wantedDepth, over and over.
void DecodeMemoryLoop(benchmark::State& state, const Bytes& file, int wantedDepth, const char* label)
{
    PLMemBitmap bitmap;
    for (auto _ : state) {
        PLBmpReader reader;
        reader.DecodeMemory(file.data(), static_cast<int>(file.size()), bitmap, wantedDepth);
        benchmark::DoNotOptimize(bitmap.Lines()[0][0]);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
    state.SetLabel(label);
}

void BM_Read8Bit640x400(benchmark::State& state)
{
    DecodeMemoryLoop(state, Encode(*MakeDithered640x400()), 8, "dithered 640x400, 8 bits");
}

void BM_Read24BitWhole640x400(benchmark::State& state)
{
    DecodeMemoryLoop(state, EncodeTrueColor24(*MakeDithered640x400()), 32,
                     "dithered 640x400, 24 bits to a 32-bit bitmap");
}

// Takes each row as a caller mapping colours would, and keeps one pixel of it.
class LastPixel : public PLRowSink {
public:
    void TakeRow(int, const PLColor* pixels, int width) override { last = pixels[width - 1]; }
    PLColor last;
};

void BM_Read24BitRows640x400(benchmark::State& state)
{
    Bytes file = EncodeTrueColor24(*MakeDithered640x400());
    LastPixel sink;
    for (auto _ : state) {
        PLBmpReader reader;
        reader.OpenMemory(file.data(), static_cast<int>(file.size()));
        reader.DecodeRowsInto(sink);
        benchmark::DoNotOptimize(sink.last);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
    state.SetLabel("dithered 640x400, 24 bits row by row");
}

std::string ScratchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("cantrel-bench-") + name + ".bmp")).string();
}

void ReadMemory(benchmark::State& state, Bytes (*encode)(const PLBitmap&))
{
    DecodeMemoryLoop(state, encode(*MakePicture(static_cast<int>(state.range(0)))), 8, NAMES[state.range(0)]);
}

void BM_ReadMemory(benchmark::State& state)
{
    ReadMemory(state, Encode);
}

void BM_ReadRle8Memory(benchmark::State& state)
{
    ReadMemory(state, EncodeRle8);
}

void BM_WriteMemory(benchmark::State& state)
{
    auto picture = MakePicture(static_cast<int>(state.range(0)));
    PLBmpWriter writer;
    auto size = static_cast<int>(writer.EncodedBytes(*picture));
    for (auto _ : state) {
        CMemSink sink;
        sink.Open("bench", size);
        writer.EncodeTo(*picture, sink);
        benchmark::DoNotOptimize(sink.GetBuffer()[size - 1]);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
    state.SetLabel(NAMES[state.range(0)]);
}

void BM_ReadFile(benchmark::State& state)
{
    auto picture = MakePicture(static_cast<int>(state.range(0)));
    std::string path = ScratchFile("read");
    PLBmpWriter().EncodeFile(path.c_str(), *picture);
    PLMemBitmap bitmap;
    for (auto _ : state) {
        PLBmpReader reader;
        reader.DecodeFile(path.c_str(), bitmap, 8);
        benchmark::DoNotOptimize(bitmap.Lines()[0][0]);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(PLBmpWriter().EncodedBytes(*picture)));
    state.SetLabel(NAMES[state.range(0)]);
    std::remove(path.c_str());
}

void BM_WriteFile(benchmark::State& state)
{
    auto picture = MakePicture(static_cast<int>(state.range(0)));
    std::string path = ScratchFile("write");
    for (auto _ : state)
        PLBmpWriter().EncodeFile(path.c_str(), *picture);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(PLBmpWriter().EncodedBytes(*picture)));
    state.SetLabel(NAMES[state.range(0)]);
    std::remove(path.c_str());
}

} // namespace

BENCHMARK(BM_ReadMemory)->DenseRange(RAMPS_320x200, BOXES_2048x2048);
BENCHMARK(BM_ReadRle8Memory)->DenseRange(RAMPS_320x200, BOXES_2048x2048);
BENCHMARK(BM_WriteMemory)->DenseRange(RAMPS_320x200, BOXES_2048x2048);
BENCHMARK(BM_ReadFile)->DenseRange(RAMPS_320x200, BOXES_2048x2048);
BENCHMARK(BM_WriteFile)->DenseRange(RAMPS_320x200, BOXES_2048x2048);
BENCHMARK(BM_Read8Bit640x400);
BENCHMARK(BM_Read24BitWhole640x400);
BENCHMARK(BM_Read24BitRows640x400);

BENCHMARK_MAIN();
