// Prints the default palette as the Markdown table of docs/pic-format.md:
// 16 rows of 16 colours, each as RRGGBB in hex (the table in the code keeps
// 0x00BBGGRR). The document's block is checked against this output.
//
//   palette_table
#include "pic/DefaultPalette.h"

#include <cstdio>

int main()
{
    constexpr int COLUMNS = 16;
    std::printf("| Entries |");
    for (int column = 0; column < COLUMNS; ++column)
        std::printf(" +%d |", column);
    std::printf("\n|---|");
    for (int column = 0; column < COLUMNS; ++column)
        std::printf("---|");
    std::printf("\n");
    for (int first = 0; first < PALETTE_ENTRIES; first += COLUMNS) {
        std::printf("| %d-%d |", first, first + COLUMNS - 1);
        for (int column = 0; column < COLUMNS; ++column) {
            const Rgb rgb = RgbFromEntry(DEFAULT_PALETTE[first + column]);
            std::printf(" %02X%02X%02X |", unsigned{rgb.red}, unsigned{rgb.green}, unsigned{rgb.blue});
        }
        std::printf("\n");
    }
    return 0;
}
