#include "bench/pic/BenchPictures.h"

#include <cmath>
#include <random>

namespace {

// Ordered dithering: a level between two palette steps becomes a fixed
// pattern of both, as 8-bit games drew their gradients.
const int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

unsigned char Dither(double level, int x, int y, int first, int steps)
{
    int step = static_cast<int>(level * (steps - 1) + (BAYER[y & 3][x & 3] + 0.5) / 16.0);
    step = step < 0 ? 0 : step >= steps ? steps - 1 : step;
    return static_cast<unsigned char>(first + step);
}

BenchPicture DitheredScene()
{
    BenchPicture picture{"dithered 320x200", 320, 200, {}};
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            double hill = 120 + 25 * std::sin(x / 31.0) + 10 * std::sin(x / 7.0 + 1);
            if (y < hill)
                picture.pixels.push_back(Dither(y / hill, x, y, 16, 48)); // sky
            else
                picture.pixels.push_back(Dither((y - hill) / (200 - hill), x, y, 80, 40)); // hills
        }
    }
    return picture;
}

BenchPicture Noise()
{
    BenchPicture picture{"noise 320x200", 320, 200, std::vector<unsigned char>(320 * 200)};
    std::mt19937 random(2024);
    for (auto& pixel : picture.pixels)
        pixel = static_cast<unsigned char>(random());
    return picture;
}

BenchPicture Gradient()
{
    BenchPicture picture{"gradient 1024x1024", 1024, 1024, {}};
    picture.pixels.reserve(1024 * 1024);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
            picture.pixels.push_back(Dither((x + y) / 2046.0, x, y, 0, 256));
    return picture;
}

BenchPicture MostlyFlat()
{
    const int side = 2048;
    BenchPicture picture{"flat 2048x2048", side, side, std::vector<unsigned char>(side * side, 17)};
    std::mt19937 random(7);
    for (int shape = 0; shape < 24; ++shape) {
        int cx = static_cast<int>(random() % side), cy = static_cast<int>(random() % side);
        int radius = 40 + static_cast<int>(random() % 260);
        auto color = static_cast<unsigned char>(32 + shape * 7);
        bool circle = shape % 2 == 0;
        for (int y = cy - radius; y <= cy + radius; ++y) {
            for (int x = cx - radius; x <= cx + radius; ++x) {
                bool inside = !circle || (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
                if (inside && x >= 0 && y >= 0 && x < side && y < side)
                    picture.pixels[static_cast<size_t>(y) * side + static_cast<size_t>(x)] = color;
            }
        }
    }
    return picture;
}

} // namespace

std::vector<BenchPicture> MakeBenchPictures()
{
    return {DitheredScene(), Noise(), Gradient(), MostlyFlat()};
}
