// Draws the project's sample picture, a valley at dusk, 320 x 200 with a
// palette of its own, and writes it as <folder>/valley.pic with the
// project's encoder. Integer arithmetic only, so every build draws the same
// pixels and the committed file can be checked against a fresh one.
//
//   make_samples samples
#include "pic/PicFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 200;
constexpr int ONE = 1 << 16; // fixed point: 16 fraction bits

// Palette ranges: each is a gradient between two colours (8-bit components).
struct Range {
    int first, count;
    int from[3], to[3];
};
const Range SKY = {0, 64, {16, 24, 72}, {252, 176, 112}};
const Range SUN = {64, 16, {252, 240, 200}, {252, 160, 64}};
const Range CLOUDS = {80, 16, {120, 96, 140}, {252, 200, 180}};
const Range FAR_HILLS = {96, 32, {60, 56, 110}, {150, 120, 150}};
const Range WATER = {128, 48, {20, 36, 80}, {200, 150, 140}}; // holds 0x90, the escape byte
const Range NEAR_HILLS = {176, 48, {12, 40, 20}, {110, 150, 60}};
const Range TREES = {224, 16, {4, 16, 8}, {30, 70, 30}};
const Range ROCK = {240, 16, {60, 44, 36}, {150, 120, 90}};

const int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

std::vector<unsigned char> MakePalette()
{
    std::vector<unsigned char> palette(1024, 0);
    for (const Range& range : {SKY, SUN, CLOUDS, FAR_HILLS, WATER, NEAR_HILLS, TREES, ROCK}) {
        for (int i = 0; i < range.count; ++i) {
            unsigned char* entry = &palette[4 * static_cast<size_t>(range.first + i)];
            for (int c = 0; c < 3; ++c) // 0x00BBGGRR, little-endian: red first
                entry[c] = static_cast<unsigned char>(range.from[c] + (range.to[c] - range.from[c]) * i / (range.count - 1));
        }
    }
    return palette;
}

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

// 0 to ONE, with zero slope at both ends.
std::int64_t Smooth(std::int64_t f)
{
    return f * f / ONE * (3 * ONE - 2 * f) / ONE;
}

// Value noise in 0..ONE at fixed-point coordinates.
std::int64_t Noise(std::int64_t x, std::int64_t y, std::uint32_t seed)
{
    auto ix = static_cast<std::int32_t>(x >> 16), iy = static_cast<std::int32_t>(y >> 16);
    std::int64_t fx = Smooth(x & (ONE - 1)), fy = Smooth(y & (ONE - 1));
    auto corner = [&](int dx, int dy) { return static_cast<std::int64_t>(Hash(ix + dx, iy + dy, seed) >> 16); };
    std::int64_t top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * fx / ONE;
    std::int64_t bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * fx / ONE;
    return top + (bottom - top) * fy / ONE;
}

// Octaves of noise along a line: a ridge's height in rows.
int Ridge(int x, int base, int amplitude, int wavelength, std::uint32_t seed)
{
    std::int64_t sum = 0, weight = ONE;
    std::int64_t position = static_cast<std::int64_t>(x) * ONE / wavelength;
    for (int octave = 0; octave < 4; ++octave, position *= 2, weight /= 2)
        sum += (Noise(position, 0, seed + static_cast<std::uint32_t>(octave)) - ONE / 2) * weight / ONE;
    return base + static_cast<int>(sum * amplitude * 2 / ONE);
}

// A shade of 0..ONE as an index of the range, ordered-dithered between steps.
unsigned char Shade(const Range& range, std::int64_t shade, int x, int y)
{
    shade = shade < 0 ? 0 : shade > ONE ? ONE : shade;
    std::int64_t scaled = shade * (range.count - 1) * 16 / ONE + BAYER[y & 3][x & 3];
    int step = static_cast<int>(scaled / 16);
    return static_cast<unsigned char>(range.first + (step < range.count ? step : range.count - 1));
}

constexpr int HORIZON = 112; // the lake's far shore
constexpr int SUN_X = 210, SUN_Y = 92, SUN_RADIUS = 18;

unsigned char SkyPixel(int x, int y)
{
    int dx = x - SUN_X, dy = y - SUN_Y;
    int distance2 = dx * dx + dy * dy;
    if (distance2 < SUN_RADIUS * SUN_RADIUS)
        return Shade(SUN, static_cast<std::int64_t>(distance2) * ONE / (SUN_RADIUS * SUN_RADIUS), x, y);
    std::int64_t cloud = Noise(x * ONE / 40, y * ONE / 9, 7) + Noise(x * ONE / 13, y * ONE / 4, 8) / 3;
    if (y < 70 && cloud > ONE * 85 / 100)
        return Shade(CLOUDS, y * ONE / 70 + (cloud - ONE * 85 / 100) * 2, x, y);
    // Lighter towards the horizon and towards the sun.
    std::int64_t glow = ONE * 40 / (40 + (dx < 0 ? -dx : dx) / 4);
    return Shade(SKY, static_cast<std::int64_t>(y) * ONE / HORIZON * 3 / 4 + glow / 5, x, y);
}

// Row y of the picture at column x, drawn back to front.
unsigned char ScenePixel(int x, int y)
{
    int nearRidge = Ridge(x, 128, 26, 150, 3) + (x - 120) * (x - 120) / 900;
    int farRidge = Ridge(x, 92, 20, 90, 1);
    if (y >= nearRidge) { // near hills, with trees along the ridge and rock on the steep parts
        int slope = Ridge(x + 2, 128, 26, 150, 3) - Ridge(x - 2, 128, 26, 150, 3);
        if (y < nearRidge + 6 && Hash(x / 3, 0, 11) % 3 == 0 && y >= nearRidge + (x % 3 == 1 ? 0 : 2))
            return Shade(TREES, Noise(x * ONE / 3, y * ONE / 3, 12), x, y);
        if (slope > 4 || slope < -4)
            return Shade(ROCK, Noise(x * ONE / 6, y * ONE / 6, 13), x, y);
        return Shade(NEAR_HILLS, static_cast<std::int64_t>(y - nearRidge) * ONE / 60 + Noise(x * ONE / 20, y * ONE / 20, 14) / 4, x, y);
    }
    if (y >= HORIZON) { // the lake mirrors the sky and far hills, broken by ripples
        int mirrored = 2 * HORIZON - y - 1 + static_cast<int>(Noise(x * ONE / 30, y * ONE / 2, 15) * 3 / ONE);
        unsigned char reflected = mirrored < farRidge ? SkyPixel(x, mirrored) : FAR_HILLS.first;
        std::int64_t light = reflected < SUN.first ? reflected * ONE / SKY.count : ONE / 8;
        if (reflected >= SUN.first && reflected < CLOUDS.first)
            light = ONE;
        return Shade(WATER, light * 3 / 4 + Noise(x * ONE / 8, y * ONE, 16) / 6, x, y);
    }
    if (y >= farRidge)
        return Shade(FAR_HILLS, static_cast<std::int64_t>(y - farRidge) * ONE / 30, x, y);
    return SkyPixel(x, y);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <folder>\n");
        return 2;
    }
    std::vector<unsigned char> pixels;
    pixels.reserve(WIDTH * HEIGHT);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            pixels.push_back(ScenePixel(x, y));
    std::vector<unsigned char> palette = MakePalette();
    std::string path = std::string(argv[1]) + "/valley.pic";
    PicFile pic;
    if (!pic.SetImage(WIDTH, HEIGHT, pixels.data(), palette.data()) || !pic.Save(path.c_str(), true)) {
        std::fprintf(stderr, "%s: not written%s%s\n", path.c_str(), pic.RefusalReason().empty() ? "" : ": ",
                     pic.RefusalReason().c_str());
        return 1;
    }
    std::printf("%s written\n", path.c_str());
    return 0;
}
