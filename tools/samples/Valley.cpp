// The first sample: a valley at dusk, 320 x 200, with a palette of its own:
// ordered-dithered gradients, so its compressed stream is far from trivial.
#include "tools/samples/SampleArt.h"

namespace samples {

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 200;

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
            int rgb[3];
            for (int c = 0; c < 3; ++c)
                rgb[c] = range.from[c] + (range.to[c] - range.from[c]) * i / (range.count - 1);
            SetEntry(palette, range.first + i, rgb[0], rgb[1], rgb[2]);
        }
    }
    return palette;
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
        return Shade(NEAR_HILLS,
                     static_cast<std::int64_t>(y - nearRidge) * ONE / 60 + Noise(x * ONE / 20, y * ONE / 20, 14) / 4, x,
                     y);
    }
    if (y >= HORIZON) { // the lake mirrors the sky and far hills, broken by ripples
        int mirrored = 2 * HORIZON - y - 1 + static_cast<int>(Noise(x * ONE / 30, y * ONE / 2, 15) * 3 / ONE);
        int reflected = mirrored < farRidge ? SkyPixel(x, mirrored) : FAR_HILLS.first; // a palette index
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

Picture DrawValley()
{
    Picture picture;
    picture.name = "valley";
    picture.width = WIDTH;
    picture.height = HEIGHT;
    picture.pixels.reserve(WIDTH * HEIGHT);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            picture.pixels.push_back(ScenePixel(x, y));
    picture.palette = MakePalette();
    return picture;
}

} // namespace samples
