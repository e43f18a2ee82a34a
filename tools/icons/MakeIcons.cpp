// Draws the programs' icons and writes them as 16-colour .ico files into a
// source tree (the folders are made when missing):
//   make_icons <root>  ->  <root>/viewer/Lumbrel.ico (32 x 32 and 16 x 16)
//                          <root>/viewer/LumbrelSmall.ico (16 x 16)
//                          <root>/converter/Cantrel.ico (32 x 32 and 16 x 16)
// The viewer's picture: a framed landscape (sky, sun, two hills), its subject.
// The converter's: two such pictures, one behind the other, and an arrow
// from the one to the other.
// Run it again after changing a drawing and commit the .ico files it writes
// (build/linux/tools/icons/make_icons .); a test holds them to what it draws.
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

// The landscape inside a frame whose outer edge is (left, top) to (right, bottom).
void DrawPicture(Canvas& c, int left, int top, int right, int bottom, int border)
{
    c.Fill(left, top, right, bottom, GREY);
    c.Fill(left, top, right - 1, top + 1, WHITE); // light from the top left
    c.Fill(left, top, left + 1, bottom - 1, WHITE);
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
    c.Fill(left + 1, bottom, right + 1, bottom + 1, BLACK);
    c.Fill(right, top + 1, right + 1, bottom + 1, BLACK);
}

Canvas DrawLarge()
{
    Canvas c(32);
    DrawPicture(c, 1, 4, 30, 27, 3);
    return c;
}

Canvas DrawSmall()
{
    Canvas c(16);
    DrawPicture(c, 0, 2, 15, 14, 1);
    return c;
}

// An arrow pointing right along row y, from x to its tip at x + length - 1;
// its head is a triangle reaching `head` rows above and below the shaft.
void DrawArrow(Canvas& c, int x, int y, int length, int head)
{
    const int tip = x + length - 1;
    c.Fill(x, y, tip, y + 1, RED);
    for (int d = -head; d <= head; ++d) {
        const int reach = tip - (d < 0 ? -d : d); // narrower away from the shaft
        c.Fill(tip - head, y + d, reach + 1, y + d + 1, RED);
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

// One icon image: BITMAPINFOHEADER (height doubled for the two masks), the
// 16-colour table, the 4-bit colour rows and the 1-bit AND rows, both
// bottom-up and padded to 4 bytes.
std::vector<std::uint8_t> IconImage(const Canvas& c)
{
    const int colorRow = (c.size * 4 + 31) / 32 * 4;
    const int maskRow = (c.size + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(c.size));
    PutU32(out, static_cast<std::uint32_t>(2 * c.size));
    PutU16(out, 1);
    PutU16(out, 4);
    PutU32(out, 0); // BI_RGB
    PutU32(out, static_cast<std::uint32_t>((colorRow + maskRow) * c.size));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 16);
    PutU32(out, 0);
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
    for (int y = c.size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskRow), 0);
        for (int x = 0; x < c.size; ++x)
            if (c.At(x, y) == CLEAR)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// ICONDIR, one ICONDIRENTRY per image, then the images.
bool WriteIcon(const std::string& path, const std::vector<Canvas>& images)
{
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const Canvas& c : images)
        bodies.push_back(IconImage(c));
    std::vector<std::uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1); // icon
    PutU16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(images[i].size));
        out.push_back(static_cast<std::uint8_t>(images[i].size));
        out.push_back(16); // colours
        out.push_back(0);
        PutU16(out, 1); // planes
        PutU16(out, 4); // bits per pixel
        PutU32(out, static_cast<std::uint32_t>(bodies[i].size()));
        PutU32(out, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

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
    const bool ok =
        WriteIcon(root + "/viewer/Lumbrel.ico", {DrawLarge(), DrawSmall()}) &&
        WriteIcon(root + "/viewer/LumbrelSmall.ico", {DrawSmall()}) &&
        WriteIcon(root + "/converter/Cantrel.ico", {DrawConverter(CONVERTER_LARGE), DrawConverter(CONVERTER_SMALL)});
    if (!ok)
        std::fprintf(stderr, "make_icons: cannot write the icons into %s/viewer and %s/converter\n", root.c_str(),
                     root.c_str());
    return ok ? 0 : 1;
}
