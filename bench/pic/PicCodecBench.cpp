// Decoding and encoding speed of the PIC codec's stages, in memory, beside
// libgif on the same pixels. Throughput counts pixels; at the end of the run
// the ratio ours / libgif is printed for every picture and direction.
#include "bench/pic/BenchPictures.h"
#include "bench/pic/GifPeer.h"
#include "pic/PicFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

void Fill(ByteBuffer& buffer, const unsigned char* data, size_t size)
{
    buffer.Clear();
    buffer.Append(data, static_cast<int>(size));
}

bool EncodePic(const BenchPicture& picture, const ByteBuffer& pixels, ByteBuffer& runs, ByteBuffer& stream)
{
    return PicFile::EncodeRuns(picture.width, picture.height, pixels, runs) &&
           PicFile::EncodeCodes(picture.width, picture.height, runs, stream);
}

// Both stages as a file load runs them.
bool DecodePic(const BenchPicture& picture, const ByteBuffer& stream, ByteBuffer& pixels)
{
    return PicFile::DecodeImage(picture.width, picture.height, stream.Data(), stream.Size(), pixels);
}

void SetThroughput(benchmark::State& state, const BenchPicture& picture)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(picture.pixels.size()));
}

void EncodeOurs(benchmark::State& state, const BenchPicture& picture)
{
    ByteBuffer pixels, runs, stream;
    Fill(pixels, picture.pixels.data(), picture.pixels.size());
    for (auto _ : state) {
        if (!EncodePic(picture, pixels, runs, stream))
            state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(stream.Data());
    }
    state.counters["compressed"] = stream.Size();
    SetThroughput(state, picture);
}

void DecodeOurs(benchmark::State& state, const BenchPicture& picture)
{
    ByteBuffer pixels, runs, stream, decoded;
    Fill(pixels, picture.pixels.data(), picture.pixels.size());
    EncodePic(picture, pixels, runs, stream);
    for (auto _ : state) {
        if (!DecodePic(picture, stream, decoded))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(decoded.Data());
    }
    if (!decoded.Equals(pixels))
        state.SkipWithError("the decoded pixels differ");
    SetThroughput(state, picture);
}

void EncodeGif(benchmark::State& state, const BenchPicture& picture)
{
    std::vector<unsigned char> file;
    file.reserve(picture.pixels.size() * 2);
    for (auto _ : state) {
        if (!GifEncode(picture.width, picture.height, picture.pixels.data(), file))
            state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["compressed"] = static_cast<double>(file.size());
    SetThroughput(state, picture);
}

void DecodeGif(benchmark::State& state, const BenchPicture& picture)
{
    std::vector<unsigned char> file;
    GifEncode(picture.width, picture.height, picture.pixels.data(), file);
    std::vector<unsigned char> decoded(picture.pixels.size());
    for (auto _ : state) {
        if (!GifDecode(file, picture.width, picture.height, decoded.data()))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(decoded.data());
    }
    if (decoded != picture.pixels)
        state.SkipWithError("the decoded pixels differ");
    SetThroughput(state, picture);
}

// The console report, plus each run's pixel throughput kept by name.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && rate != run.counters.end())
                m_rates[run.benchmark_name()].push_back(rate->second.value);
        }
    }

    // The median of repetitions, so one disturbed run on a shared machine does not decide.
    double Rate(const std::string& name) const
    {
        auto found = m_rates.find(name);
        if (found == m_rates.end())
            return 0;
        std::vector<double> rates = found->second;
        std::sort(rates.begin(), rates.end());
        return rates[rates.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> m_rates;
};

std::string Name(const BenchPicture& picture, const char* direction, const char* codec)
{
    return picture.name + "/" + direction + "/" + codec;
}

} // namespace

int main(int argc, char** argv)
{
    static const std::vector<BenchPicture> pictures = MakeBenchPictures();
    for (const BenchPicture& picture : pictures) {
        benchmark::RegisterBenchmark(Name(picture, "decode", "pic").c_str(), DecodeOurs, picture);
        benchmark::RegisterBenchmark(Name(picture, "decode", "gif").c_str(), DecodeGif, picture);
        benchmark::RegisterBenchmark(Name(picture, "encode", "pic").c_str(), EncodeOurs, picture);
        benchmark::RegisterBenchmark(Name(picture, "encode", "gif").c_str(), EncodeGif, picture);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nThroughput of the PIC codec divided by libgif's (pixels per second):\n");
    for (const BenchPicture& picture : pictures) {
        for (const char* direction : {"decode", "encode"}) {
            double ours = reporter.Rate(Name(picture, direction, "pic"));
            double peer = reporter.Rate(Name(picture, direction, "gif"));
            if (ours > 0 && peer > 0)
                std::printf("  %-20s %s  %6.2fx  (%7.1f MB/s vs %7.1f MB/s)\n", picture.name.c_str(), direction,
                            ours / peer, ours / 1e6, peer / 1e6);
        }
    }
    return 0;
}
