// Helper of the viewer's window tests, run under Wine beside Lumbrel:
//   gui_tool pictures <folder>          writes the test pictures
//   gui_tool check <ppm> <picture> <view>  checks a screenshot of the window
//   gui_tool blocks <file> <width> <height>  writes a picture for benchmarks
//   gui_tool dpi                        prints the display's DPI
//   gui_tool about                      checks the open About box's controls
// <picture> is "start", "second", "sample", "bomb" or "none"; <view> holds the letters of the options
// that are on: p (palette strip), m (magnify 2x), f (frame), or "-" for none.
// The screenshot is the window below its title: menu bar, then client area.
// Every client pixel is predicted, independently of the viewer's own code.
#include "tests/common/TestFiles.h"
#include "tests/common/PicModels.h"
#include "tests/viewer/gui/AboutBoxProbe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct Color {
    int r, g, b;
    bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Color& o) const { return !(*this == o); }
};
constexpr Color BLACK{0, 0, 0};
constexpr Color WHITE{255, 255, 255};

// start.pic: 320 x 200 in blocks of 40 x 25, indices 32 to 95, with a palette
// chunk that gives every index a colour of its own.
constexpr int START_WIDTH = 320;
constexpr int START_HEIGHT = 200;
// second.pic (in a folder of its own): 90 x 60 of diagonal stripes using
// indices 0 to 127 and no palette chunk, so it shows in start.pic's colours.
constexpr int SECOND_WIDTH = 90;
constexpr int SECOND_HEIGHT = 60;
// bomb.pic: an image chunk of 32,767 x 32,767 pixels whose 3-byte stream
// gives pixel 1 and ends, 11 bytes in all; colour-bomb.pic: the same after a
// palette chunk of start.pic's colours, so that index 0, which the rest of
// the picture is, shows as a colour of its own.
constexpr int BOMB_SIDE = 32767;
const Bytes BOMB_IMAGE_CHUNK = {'X', '0', 7, 0, 0xFF, 0x7F, 0xFF, 0x7F, 0x0B, 0x01, 0x00};
// The bundled sample, whose pixels this tool does not know.
constexpr int SAMPLE_WIDTH = 320;
constexpr int SAMPLE_HEIGHT = 200;

int StartIndex(int x, int y)
{
    return 32 + x / 40 + 8 * (y / 25);
}

int SecondIndex(int x, int y)
{
    return (x + 2 * y) / 3 % 128;
}

// 6-bit triple of palette index i in start.pic.
void Triple(int i, int rgb[3])
{
    rgb[0] = i % 64;
    rgb[1] = (i * 5 + 17) % 64;
    rgb[2] = 63 - (i * 3) % 64;
}

Color PaletteColor(int i)
{
    int rgb[3];
    Triple(i, rgb);
    return Color{rgb[0] * 4, rgb[1] * 4, rgb[2] * 4};
}

int WritePictures(const std::string& folder)
{
    Bytes triples;
    for (int i = 0; i < 256; ++i) {
        int rgb[3];
        Triple(i, rgb);
        triples.insert(triples.end(), {static_cast<unsigned char>(rgb[0]), static_cast<unsigned char>(rgb[1]),
                                       static_cast<unsigned char>(rgb[2])});
    }
    Bytes start, second;
    for (int y = 0; y < START_HEIGHT; ++y)
        for (int x = 0; x < START_WIDTH; ++x)
            start.push_back(static_cast<unsigned char>(StartIndex(x, y)));
    for (int y = 0; y < SECOND_HEIGHT; ++y)
        for (int x = 0; x < SECOND_WIDTH; ++x)
            second.push_back(static_cast<unsigned char>(SecondIndex(x, y)));
    const bool ok = WriteBytes(folder + "/start.pic", EncodePicture(START_WIDTH, START_HEIGHT, start, triples)) &&
                    WriteBytes(folder + "/other/second.pic", EncodePicture(SECOND_WIDTH, SECOND_HEIGHT, second)) &&
                    WriteBytes(folder + "/bomb.pic", BOMB_IMAGE_CHUNK) &&
                    WriteBytes(folder + "/colour-bomb.pic", Join({PaletteChunk(0, 255, triples), BOMB_IMAGE_CHUNK}));
    if (!ok)
        std::printf("cannot write the pictures into %s (and its folder other)\n", folder.c_str());
    return ok ? 0 : 1;
}

struct Screenshot {
    int width = 0, height = 0;
    Bytes rgb;
    Color At(int x, int y) const
    {
        const std::size_t i = 3 * static_cast<std::size_t>(y * width + x);
        return Color{rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// Binary PPM (P6) with a maximum of 255, as ImageMagick writes it.
bool ReadPpm(const std::string& path, Screenshot& shot)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic >> shot.width >> shot.height >> maxValue) || magic != "P6" || maxValue != 255 ||
        shot.width <= 0 || shot.height <= 0)
        return false;
    in.get();
    shot.rgb.resize(3 * static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height));
    const auto byteCount = static_cast<std::streamsize>(shot.rgb.size());
    return static_cast<bool>(in.read(reinterpret_cast<char*>(shot.rgb.data()), byteCount));
}

struct Rect {
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// What a client pixel should be: a colour, or for the frame round the picture
// (whose colours the system's edge drawing decides) and for a picture whose
// pixels are not known here (the bundled sample) only "drawn, not black";
// a swatch of an unknown palette may be anything.
enum class Kind { EXACT, FRAME, PICTURE, ANY };

struct Expectation {
    Kind kind;
    Color color;
};

class ViewModel {
public:
    ViewModel(const std::string& picture, bool palette, bool magnify, bool frame, int clientWidth, int clientHeight)
        : m_second(picture == "second"), m_sample(picture == "sample"), m_bomb(picture == "bomb"), m_palette(palette),
          m_magnify(magnify), m_frame(frame)
    {
        const int scale = magnify ? 2 : 1;
        const bool none = picture == "none";
        // The bomb is larger than any window: all the client area shows of
        // it is its top-left part, whatever part of it the viewer holds.
        if (m_bomb) {
            m_pictureWidth = m_pictureHeight = BOMB_SIDE * scale;
        } else {
            m_pictureWidth = (none ? 0 : m_second ? SECOND_WIDTH : m_sample ? SAMPLE_WIDTH : START_WIDTH) * scale;
            m_pictureHeight = (none ? 0 : m_second ? SECOND_HEIGHT : m_sample ? SAMPLE_HEIGHT : START_HEIGHT) * scale;
        }
        m_stripTop = palette ? clientHeight - 30 : clientHeight;
        m_x = std::max(0, (clientWidth - m_pictureWidth) / 2);
        m_y = std::max(0, (m_stripTop - m_pictureHeight) / 2);
        m_margin = std::max(3, (clientWidth - 770) / 2);
    }

    Rect Picture() const { return {m_x, m_y, m_x + m_pictureWidth, m_y + m_pictureHeight}; }

    Expectation At(int x, int y) const
    {
        if (m_palette && y >= m_stripTop)
            return Strip(x, y - m_stripTop);
        const Rect picture = Picture();
        if (picture.Contains(x, y)) {
            const int scale = m_magnify ? 2 : 1;
            const int px = (x - m_x) / scale, py = (y - m_y) / scale;
            if (m_sample)
                return {Kind::PICTURE, BLACK};
            // Pixel 1, then index 0: the bits after the stream's one code may
            // give a pixel more, of index 0 or not, beside it.
            if (m_bomb && py == 0 && px < 3)
                return {px == 0 ? Kind::EXACT : Kind::ANY, PaletteColor(1)};
            if (m_bomb)
                return {Kind::EXACT, PaletteColor(0)};
            return {Kind::EXACT, PaletteColor(m_second ? SecondIndex(px, py) : StartIndex(px, py))};
        }
        const Rect ring{picture.left - 2, picture.top - 2, picture.right + 2, picture.bottom + 2};
        if (m_frame && ring.Contains(x, y))
            return {Kind::FRAME, BLACK};
        return {Kind::EXACT, BLACK};
    }

private:
    // The strip: white band, two black panels, swatches of 5 x 5 (left) and
    // 6 x 5 (right) at a pitch of 6, rows 6 apart starting 3 below the top.
    Expectation Strip(int x, int y) const
    {
        const int m = m_margin;
        const bool inPanelRows = y >= 2 && y < 27;
        const bool left = x >= m - 1 && x < m + 384, right = x >= m + 385 && x < m + 770;
        if (!inPanelRows || !(left || right))
            return {Kind::EXACT, WHITE};
        const int row = (y - 3) / 6;
        if (y < 3 || (y - 3) % 6 == 5 || row > 3)
            return {Kind::EXACT, BLACK};
        const int u = left ? x - m : x - m - 386;
        if (u < 0 || u >= 6 * 64 || (left && u % 6 == 5))
            return {Kind::EXACT, BLACK};
        return {m_sample ? Kind::ANY : Kind::EXACT, PaletteColor(row * 64 + u / 6)};
    }

    bool m_second, m_sample, m_bomb, m_palette, m_magnify, m_frame;
    int m_pictureWidth = 0, m_pictureHeight = 0;
    int m_stripTop = 0, m_x = 0, m_y = 0, m_margin = 0;
};

// The client area starts below the menu bar: the first row whose last pixel
// has the colour of the client area's right edge (the menu bar is light; of
// the pictures only the bomb reaches that edge, elsewhere it is black).
int ClientTop(const Screenshot& shot, Color edge)
{
    for (int y = 0; y < shot.height; ++y)
        if (shot.At(shot.width - 1, y) == edge)
            return y;
    return -1;
}

int Check(const std::string& ppm, const std::string& picture, const std::string& view)
{
    Screenshot shot;
    if (!ReadPpm(ppm, shot)) {
        std::printf("%s: not a binary PPM screenshot\n", ppm.c_str());
        return 1;
    }
    const int top = ClientTop(shot, picture == "bomb" ? PaletteColor(0) : BLACK);
    if (top <= 0) {
        std::printf("no menu bar above the client area found\n");
        return 1;
    }
    const auto has = [&](char c) { return view.find(c) != std::string::npos; };
    const ViewModel model(picture, has('p'), has('m'), has('f'), shot.width, shot.height - top);
    int wrong = 0, ringLit = 0, ringSeen = 0, pictureLit = 0, pictureSeen = 0;
    for (int y = 0; y < shot.height - top; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const Color seen = shot.At(x, y + top);
            const Expectation expected = model.At(x, y);
            if (expected.kind == Kind::FRAME) {
                ++ringSeen;
                ringLit += seen != BLACK;
            } else if (expected.kind == Kind::PICTURE) {
                ++pictureSeen;
                pictureLit += seen != BLACK;
            } else if (expected.kind == Kind::EXACT && seen != expected.color && ++wrong <= 5) {
                std::printf("client pixel (%d, %d): expected %d,%d,%d, found %d,%d,%d\n", x, y, expected.color.r,
                            expected.color.g, expected.color.b, seen.r, seen.g, seen.b);
            }
        }
    }
    // A raised edge lights its top and left sides and half of the rest.
    if (has('f') && ringLit < ringSeen / 3) {
        std::printf("frame: only %d of %d pixels round the picture are drawn\n", ringLit, ringSeen);
        ++wrong;
    }
    if (pictureLit < pictureSeen / 10 * 9) {
        std::printf("picture: only %d of its %d pixels are drawn\n", pictureLit, pictureSeen);
        ++wrong;
    }
    if (wrong > 0)
        std::printf("%d pixels differ (client area %d x %d below row %d)\n", wrong, shot.width, shot.height - top, top);
    return wrong == 0 ? 0 : 1;
}

} // namespace

// A picture of any size for the benchmarks: 256 x 256 blocks of indices 32
// to 95, no palette chunk.
int WriteBlocks(const std::string& path, int width, int height)
{
    if (width < 1 || height < 1 || width > 32767 || height > 32767) {
        std::printf("blocks: sizes from 1 to 32767, not %d x %d\n", width, height);
        return 2;
    }
    Bytes pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<unsigned char>(32 + (x / 256 + y / 256 * 8) % 64));
    const Bytes file = EncodePicture(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), pixels);
    if (!WriteBytes(path, file)) {
        std::printf("cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "pictures" && argc == 3)
        return WritePictures(argv[2]);
    if (command == "check" && argc == 5)
        return Check(argv[2], argv[3], argv[4]);
    if (command == "blocks" && argc == 5)
        return WriteBlocks(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (command == "dpi" && argc == 2)
        return ReportDpi();
    if (command == "about" && argc == 2)
        return CheckAboutBox();
    std::printf("usage: gui_tool pictures <folder> | check <ppm> start|second|sample|bomb|none <view letters or -> |\n"
                "       blocks <file> <width> <height> | dpi | about\n");
    return 2;
}
