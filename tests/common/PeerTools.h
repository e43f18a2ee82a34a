// Helpers for tests that hold our results against independent programs run at
// test time (ImageMagick's convert-im6.q16 and mogrify-im6.q16, netpbm): shell
// scripts in a scratch folder, and the PPM files those programs write.
#pragma once

#include "tests/common/TestFiles.h"

#include <string>

// Runs script with sh in folder (set -e: the first failing command ends it).
// Its output goes to a log that a failure shows.
bool RunScript(const ScratchFolder& folder, const std::string& script);

// An RGB picture, three bytes a pixel, rows top-down.
struct RgbImage {
    int width = 0;
    int height = 0;
    Bytes rgb;
};

// Reads a binary PPM (P6, maxval 255) as ImageMagick writes it.
bool ReadPpm(const std::string& path, RgbImage& image);

// ImageMagick's reading of every .bmp in from (relative to folder) as one PPM
// per file in to (the base name with .ppm).
bool ConvertAllToPpm(const ScratchFolder& folder, const std::string& from = ".", const std::string& to = "ppm");

// Where two RGB pictures of that width first differ, for a readable failure.
std::string FirstDifference(const Bytes& ours, const Bytes& theirs, int width);
