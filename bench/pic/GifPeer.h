// The peer codec, run in memory: one 8-bit image with a 256-colour map
// written to and read from a byte vector.
#pragma once

#include <vector>

bool GifEncode(int width, int height, const unsigned char* pixels, std::vector<unsigned char>& file);
bool GifDecode(const std::vector<unsigned char>& file, int width, int height, unsigned char* pixels);
