// The pictures the codec is measured on: what the game's artists draw
// (dithered scenes), the worst case (noise), a large dithered gradient and a
// large, mostly flat picture.
#pragma once

#include <string>
#include <vector>

struct BenchPicture {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

std::vector<BenchPicture> MakeBenchPictures();
