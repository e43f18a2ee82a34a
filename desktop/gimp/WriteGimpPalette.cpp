// Writes the game's default palette as a GIMP palette file, in index order,
// from the table the converter uses (the viewer keeps a copy of its own).
//   write_gimp_palette <output.gpl>
#include "pic/DefaultPalette.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_gimp_palette <output.gpl>\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "GIMP Palette\nName: Fenwolds default\nColumns: 16\n#\n");
    for (int i = 0; i < PALETTE_ENTRIES; ++i) {
        Rgb rgb = RgbFromEntry(DEFAULT_PALETTE[i]);
        std::fprintf(out, "%3u %3u %3u\tIndex %d\n", unsigned{rgb.red}, unsigned{rgb.green}, unsigned{rgb.blue}, i);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
