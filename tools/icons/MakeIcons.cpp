// Draws the programs' icons and writes them as .ico files into a source tree
// (the folders are made when missing):
//   make_icons <root>  ->  <root>/viewer/Lumbrel.ico
//                          <root>/viewer/LumbrelSmall.ico (16 x 16)
//                          <root>/converter/Cantrel.ico
// Lumbrel.ico and Cantrel.ico hold 32 x 32 and 16 x 16 in 16 colours, which
// every Windows shows, then 48 x 48 and 256 x 256 in 32-bit colour with an
// alpha channel, for Explorer's large views and displays of more than 96
// DPI, which would otherwise enlarge the 32 x 32 one. The large ones are
// drawn at four times their size and averaged down, so that their edges are
// smooth; they are stored as bitmaps, not PNG, which this tool need not
// compress.
// The viewer's picture: a framed landscape (sky, sun, two hills), its subject.
// The converter's: two such pictures, one behind the other, and an arrow
// from the one to the other.
// Run it again after changing a drawing and commit the .ico files it writes
// (build/linux/tools/icons/make_icons .); a test holds them to what it draws.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The 16 colours every display can show, in their usual order.
enum Color : int {
    BLACK,
    MAROON,
    GREEN,
    OLIVE,
    NAVY,
    PURPLE,
    TEAL,
    SILVER,
    GREY,
    RED,
    LIME,
    YELLOW,
    BLUE,
    FUCHSIA,
    AQUA,
    WHITE,
    CLEAR = -1 // see-through: set in the AND mask
};

// clang-format off
const std::uint8_t COLORS_BGR[16][3] = {
    {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
};
// clang-format on

struct Canvas {
    int size;
    std::vector<int> pixels; // row 0 at the top

    explicit Canvas(int n) : size(n), pixels(static_cast<std::size_t>(n * n), CLEAR) {}
    void Set(int x, int y, int color)
    {
        if (x >= 0 && y >= 0 && x < size && y < size)
            pixels[static_cast<std::size_t>(y * size + x)] = color;
    }
    int At(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
    void Fill(int left, int top, int right, int bottom, int color) // right and bottom exclusive
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                Set(x, y, color);
    }
};

// The landscape inside a frame whose outer edge is (left, top) to (right,
// bottom); the frame's light and shadow are `line` pixels wide.
void DrawPicture(Canvas& c, int left, int top, int right, int bottom, int border, int line = 1)
{
    c.Fill(left, top, right, bottom, GREY);
    c.Fill(left, top, right - line, top + line, WHITE); // light from the top left
    c.Fill(left, top, left + line, bottom - line, WHITE);
    c.Fill(left + border, top + border, right - border, bottom - border, AQUA);
    const int inLeft = left + border, inTop = top + border;
    const int inRight = right - border, inBottom = bottom - border;
    const int width = inRight - inLeft, height = inBottom - inTop;
    // Sun in the upper right.
    const int sunX = inRight - width / 4 - 1, sunY = inTop + height / 4;
    const int sunR = width / 7 > 1 ? width / 7 : 1;
    for (int y = inTop; y < inBottom; ++y)
        for (int x = inLeft; x < inRight; ++x)
            if ((x - sunX) * (x - sunX) + (y - sunY) * (y - sunY) <= sunR * sunR)
                c.Set(x, y, YELLOW);
    // Two hills: a far one in green and a near one in lime, as parabolas.
    for (int x = inLeft; x < inRight; ++x) {
        const int u = x - inLeft;
        const int far = inBottom - height / 2 + (u - width / 3) * (u - width / 3) * 2 / (width + 1);
        const int nearTop = inBottom - height / 3 + (u - 3 * width / 4) * (u - 3 * width / 4) * 2 / (width + 1);
        for (int y = far < inTop ? inTop : far; y < inBottom; ++y)
            c.Set(x, y, GREEN);
        for (int y = nearTop < inTop ? inTop : nearTop; y < inBottom; ++y)
            c.Set(x, y, LIME);
    }
    // Dark shadow under the frame's lower and right edges.
    c.Fill(left + line, bottom, right + line, bottom + line, BLACK);
    c.Fill(right, top + line, right + line, bottom + line, BLACK);
}

// A length of the 32 x 32 drawings on a canvas of n pixels.
int Scaled(int length, int n)
{
    return (length * n + 16) / 32;
}

// The viewer's 32 x 32 drawing, on a canvas of any size.
Canvas DrawLarge(int n = 32)
{
    Canvas c(n);
    DrawPicture(c, Scaled(1, n), Scaled(4, n), Scaled(30, n), Scaled(27, n), Scaled(3, n), Scaled(1, n));
    return c;
}

Canvas DrawSmall()
{
    Canvas c(16);
    DrawPicture(c, 0, 2, 15, 14, 1);
    return c;
}

// An arrow pointing right along rows y to y + thickness - 1, from x to its
// tip at x + length - 1; its head is a triangle reaching `head` rows above
// and below the shaft.
void DrawArrow(Canvas& c, int x, int y, int length, int head, int thickness = 1)
{
    const int tip = x + length - 1, last = y + thickness - 1;
    c.Fill(x, y, tip, last + 1, RED);
    for (int row = y - head; row <= last + head; ++row) {
        const int away = row < y ? y - row : row > last ? row - last : 0;
        c.Fill(tip - head, row, tip - away + 1, row + 1, RED); // narrower away from the shaft
    }
}

// The converter's picture at one size: two framed pictures, the front one
// drawn over the back one, and the arrow from below the one to the other.
struct ConverterLayout {
    int size;
    int back[4], front[4]; // outer edges: left, top, right, bottom
    int border;
    int arrowX, arrowY, arrowLength, arrowHead;
};

const ConverterLayout CONVERTER_LARGE = {32, {1, 1, 20, 15}, {11, 13, 31, 28}, 2, 1, 23, 9, 3};
const ConverterLayout CONVERTER_SMALL = {16, {0, 0, 10, 8}, {5, 7, 15, 15}, 1, 0, 12, 5, 2};

Canvas DrawConverter(const ConverterLayout& l)
{
    Canvas c(l.size);
    for (const int* edges : {l.back, l.front})
        DrawPicture(c, edges[0], edges[1], edges[2], edges[3], l.border);
    DrawArrow(c, l.arrowX, l.arrowY, l.arrowLength, l.arrowHead);
    return c;
}

// The converter's 32 x 32 drawing on a canvas of n pixels.
Canvas DrawConverterScaled(int n)
{
    const ConverterLayout& l = CONVERTER_LARGE;
    Canvas c(n);
    const int line = Scaled(1, n);
    for (const int* edges : {l.back, l.front})
        DrawPicture(c, Scaled(edges[0], n), Scaled(edges[1], n), Scaled(edges[2], n), Scaled(edges[3], n),
                    Scaled(l.border, n), line);
    DrawArrow(c, Scaled(l.arrowX, n), Scaled(l.arrowY, n), Scaled(l.arrowLength, n), Scaled(l.arrowHead, n), line);
    return c;
}

// A 32-bit image, blue, green, red and alpha bytes per pixel, row 0 at the top.
struct TrueColorImage {
    int size;
    std::vector<std::uint8_t> bgra;
};

constexpr int SUPERSAMPLING = 4;

// Each pixel the average of SUPERSAMPLING x SUPERSAMPLING pixels of a
// drawing that many times larger: its alpha the share of them that are
// drawn, its colour their average.
TrueColorImage AverageDown(const Canvas& big)
{
    const int n = big.size / SUPERSAMPLING;
    TrueColorImage image{n, std::vector<std::uint8_t>(static_cast<std::size_t>(n * n * 4), 0)};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int sum[3] = {0, 0, 0}, drawn = 0;
            for (int v = 0; v < SUPERSAMPLING; ++v)
                for (int u = 0; u < SUPERSAMPLING; ++u) {
                    const int color = big.At(x * SUPERSAMPLING + u, y * SUPERSAMPLING + v);
                    if (color == CLEAR)
                        continue;
                    ++drawn;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += COLORS_BGR[color][k];
                }
            std::uint8_t* pixel = &image.bgra[static_cast<std::size_t>((y * n + x) * 4)];
            for (int k = 0; k < 3 && drawn > 0; ++k)
                pixel[k] = static_cast<std::uint8_t>((sum[k] + drawn / 2) / drawn);
            pixel[3] = static_cast<std::uint8_t>((drawn * 255 + SUPERSAMPLING * SUPERSAMPLING / 2) /
                                                 (SUPERSAMPLING * SUPERSAMPLING));
        }
    return image;
}

void PutU16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// An icon image as the .ico file's directory describes it, and its bytes.
struct IconEntry {
    int size;
    int colors; // 0 for more than 256
    int bits;
    std::vector<std::uint8_t> body;
};

// BITMAPINFOHEADER, height doubled for the colour rows and the AND mask.
void PutInfoHeader(std::vector<std::uint8_t>& out, int size, int bits, int colors, int imageBytes)
{
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(size));
    PutU32(out, static_cast<std::uint32_t>(2 * size));
    PutU16(out, 1);
    PutU16(out, static_cast<unsigned>(bits));
    PutU32(out, 0); // BI_RGB
    PutU32(out, static_cast<std::uint32_t>(imageBytes));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(colors));
    PutU32(out, 0);
}

// The 1-bit AND rows, bottom-up and padded to 4 bytes: set where the image
// is see-through.
template <typename IsClear> void PutMask(std::vector<std::uint8_t>& out, int size, IsClear isClear)
{
    const int maskRow = (size + 31) / 32 * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskRow), 0);
        for (int x = 0; x < size; ++x)
            if (isClear(x, y))
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
}

// One 16-colour icon image: the header, the 16-colour table, the 4-bit
// colour rows bottom-up and padded to 4 bytes, and the mask.
IconEntry IconImage(const Canvas& c)
{
    const int colorRow = (c.size * 4 + 31) / 32 * 4;
    const int maskRow = (c.size + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    PutInfoHeader(out, c.size, 4, 16, (colorRow + maskRow) * c.size);
    for (const auto& bgr : COLORS_BGR)
        out.insert(out.end(), {bgr[0], bgr[1], bgr[2], 0});
    for (int y = c.size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(colorRow), 0);
        for (int x = 0; x < c.size; ++x) {
            const int color = c.At(x, y) == CLEAR ? BLACK : c.At(x, y);
            row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? color << 4 : color);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    PutMask(out, c.size, [&](int x, int y) { return c.At(x, y) == CLEAR; });
    return {c.size, 16, 4, out};
}

// One 32-bit icon image: the header, the colour rows of blue, green, red
// and alpha bottom-up, and the mask, which Windows still reads where it
// shows no alpha.
IconEntry IconImage(const TrueColorImage& image)
{
    const int n = image.size;
    const int maskRow = (n + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    PutInfoHeader(out, n, 32, 0, (n * 4 + maskRow) * n);
    for (int y = n - 1; y >= 0; --y) {
        const auto row = image.bgra.begin() + static_cast<std::ptrdiff_t>(y * n * 4);
        out.insert(out.end(), row, row + n * 4);
    }
    PutMask(out, n, [&](int x, int y) { return image.bgra[static_cast<std::size_t>((y * n + x) * 4 + 3)] == 0; });
    return {n, 0, 32, out};
}

// ICONDIR, one ICONDIRENTRY per image, then the images.
bool WriteIcon(const std::string& path, const std::vector<IconEntry>& images)
{
    std::vector<std::uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1); // icon
    PutU16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconEntry& image : images) {
        out.push_back(static_cast<std::uint8_t>(image.size & 0xFF)); // 256 is written as 0
        out.push_back(static_cast<std::uint8_t>(image.size & 0xFF));
        out.push_back(static_cast<std::uint8_t>(image.colors));
        out.push_back(0);
        PutU16(out, 1); // planes
        PutU16(out, static_cast<unsigned>(image.bits));
        PutU32(out, static_cast<std::uint32_t>(image.body.size()));
        PutU32(out, offset);
        offset += static_cast<std::uint32_t>(image.body.size());
    }
    for (const IconEntry& image : images)
        out.insert(out.end(), image.body.begin(), image.body.end());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

// The sizes beyond 32 x 32, in 32-bit colour.
const int TRUE_COLOR_SIZES[] = {48, 256};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <source root>\n");
        return 2;
    }
    const std::string root = argv[1];
    std::error_code error;
    for (const char* folder : {"/viewer", "/converter"})
        std::filesystem::create_directories(root + folder, error);
    std::vector<IconEntry> viewer = {IconImage(DrawLarge()), IconImage(DrawSmall())};
    std::vector<IconEntry> converter = {IconImage(DrawConverter(CONVERTER_LARGE)),
                                        IconImage(DrawConverter(CONVERTER_SMALL))};
    for (const int size : TRUE_COLOR_SIZES) {
        viewer.push_back(IconImage(AverageDown(DrawLarge(size * SUPERSAMPLING))));
        converter.push_back(IconImage(AverageDown(DrawConverterScaled(size * SUPERSAMPLING))));
    }
    const bool ok = WriteIcon(root + "/viewer/Lumbrel.ico", viewer) &&
                    WriteIcon(root + "/viewer/LumbrelSmall.ico", {IconImage(DrawSmall())}) &&
                    WriteIcon(root + "/converter/Cantrel.ico", converter);
    if (!ok)
        std::fprintf(stderr, "make_icons: cannot write the icons into %s/viewer and %s/converter\n", root.c_str(),
                     root.c_str());
    return ok ? 0 : 1;
}
