// The small sample: a cottage by a tree, 96 x 64, drawn in the default
// palette's colours and stored without a palette chunk. Small enough that
// the viewer's 2x magnification is worth a look.
#include "tools/samples/SampleArt.h"

namespace samples {

namespace {

constexpr int WIDTH = 96;
constexpr int HEIGHT = 64;

// Default palette indices, by what they show here.
constexpr unsigned char INK = 0;
constexpr unsigned char MEADOW = 2;        // green
constexpr unsigned char WALL = 7;          // light grey
constexpr unsigned char STONE = 22;        // dark grey
constexpr unsigned char SMOKE = 26;        // grey
constexpr unsigned char SMOKE_LIGHT = 28;  // pale grey
constexpr unsigned char CLOUD = 31;        // nearly white
constexpr unsigned char SUN_RIM = 44;      // yellow
constexpr unsigned char LEAF_LIGHT = 48;   // bright green
constexpr unsigned char SKY_HIGH = 79;     // light blue
constexpr unsigned char SKY_MID = 78;      // lighter blue
constexpr unsigned char SKY_LOW = 102;     // pale blue
constexpr unsigned char SUN = 92;          // pale yellow
constexpr unsigned char WINDOW = 44;       // lamplight
constexpr unsigned char ROOF = 112;        // dark red
constexpr unsigned char DOOR = 113;        // red-brown
constexpr unsigned char TIMBER = 114;      // brown
constexpr unsigned char LEAF = 120;        // dark green
constexpr unsigned char PATH = 138;        // dusty brown
constexpr unsigned char FAR_HILLS = 144;   // muted green; 0x90, the run-length escape byte
constexpr unsigned char ROOF_SHADOW = 184; // darkest red
constexpr unsigned char FENCE = 15;        // white

struct Circle {
    int x, y, radius;
};
const Circle CLOUDS[] = {{14, 10, 4}, {20, 8, 5}, {26, 10, 4}, {44, 17, 3}, {49, 15, 4}, {54, 17, 3}};
const Circle CROWN[] = {{73, 30, 9}, {66, 35, 6}, {81, 35, 6}};

// Three bands of sky, each border softened by a row of checkers.
void DrawSky(Canvas& canvas)
{
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            unsigned char band = y < 12 ? SKY_HIGH : y < 24 ? SKY_MID : SKY_LOW;
            if ((y == 11 || y == 23) && (x + y) % 2 == 0)
                band = y == 11 ? SKY_MID : SKY_LOW;
            canvas.Set(x, y, band);
        }
    }
    canvas.Disc(80, 11, 7, SUN_RIM);
    canvas.Disc(80, 11, 5, SUN);
    for (const Circle& puff : CLOUDS)
        canvas.Disc(puff.x, puff.y, puff.radius, CLOUD);
}

void DrawLand(Canvas& canvas)
{
    for (int x = 0; x < WIDTH; ++x) {
        const int hillTop = 30 + static_cast<int>(Noise(x * ONE / 24, 0, 21) * 8 / ONE);
        const int meadowTop = 43 + static_cast<int>(Noise(x * ONE / 30, 0, 22) * 3 / ONE);
        canvas.FillRect(x, hillTop, x + 1, meadowTop, FAR_HILLS);
        for (int y = meadowTop; y < HEIGHT; ++y)
            canvas.Set(x, y, Hash(x, y, 23) % 11 == 0 ? LEAF : MEADOW);
    }
    // The path from the door, widening towards the viewer.
    for (int y = 55; y < HEIGHT; ++y) {
        const int spread = (y - 55) * 3 / 2;
        canvas.FillRect(36 - spread, y, 44 + spread, y + 1, PATH);
    }
    // A fence on the left.
    for (int x = 2; x < 18; x += 5)
        canvas.FillRect(x, 48, x + 2, 56, FENCE);
    canvas.FillRect(2, 50, 19, 51, FENCE);
    canvas.FillRect(2, 53, 19, 54, FENCE);
}

void DrawCottage(Canvas& canvas)
{
    // Chimney and smoke behind the roof.
    canvas.FillRect(49, 14, 54, 28, STONE);
    canvas.FrameRect(49, 14, 54, 28, INK);
    canvas.Disc(53, 10, 2, SMOKE);
    canvas.Disc(57, 6, 3, SMOKE_LIGHT);
    canvas.Disc(62, 3, 2, SMOKE_LIGHT);
    // Walls with their timber frame.
    canvas.FillRect(22, 32, 59, 55, WALL);
    canvas.FillRect(22, 32, 59, 33, TIMBER);
    canvas.FillRect(22, 46, 59, 47, TIMBER);
    for (int x : {22, 34, 46, 58})
        canvas.FillRect(x, 32, x + 1, 55, TIMBER);
    canvas.FrameRect(21, 32, 60, 56, INK);
    // The roof: a triangle of shingles, a shadow line every third row.
    for (int y = 16; y < 33; ++y) {
        const int half = (y - 16) * 22 / 16;
        canvas.FillRect(40 - half, y, 41 + half, y + 1, (y - 16) % 3 == 2 ? ROOF_SHADOW : ROOF);
        canvas.Set(40 - half, y, INK);
        canvas.Set(40 + half, y, INK);
    }
    // Door with its knob, and two lit windows with crossbars.
    canvas.FillRect(37, 43, 44, 55, DOOR);
    canvas.FrameRect(36, 42, 45, 56, INK);
    canvas.Set(42, 49, SUN_RIM);
    for (int left : {25, 49}) {
        canvas.FillRect(left, 37, left + 8, 44, WINDOW);
        canvas.FrameRect(left - 1, 36, left + 9, 45, INK);
        canvas.FillRect(left + 3, 37, left + 5, 44, INK);
        canvas.FillRect(left, 40, left + 8, 41, INK);
    }
}

void DrawTree(Canvas& canvas)
{
    canvas.FillRect(72, 38, 76, 57, TIMBER);
    canvas.FrameRect(71, 38, 77, 57, INK);
    for (const Circle& crown : CROWN)
        canvas.Disc(crown.x, crown.y, crown.radius, LEAF);
    // Light catches the leaves on the sun's side.
    for (int y = 20; y < 42; ++y)
        for (int x = 59; x < 88; ++x)
            if (canvas.At(x, y) == LEAF && x + y > 100 - 8 && Hash(x, y, 24) % 4 == 0)
                canvas.Set(x, y, LEAF_LIGHT);
}

} // namespace

Picture DrawCottage()
{
    Canvas canvas(WIDTH, HEIGHT, SKY_LOW);
    DrawSky(canvas);
    DrawLand(canvas);
    DrawCottage(canvas);
    DrawTree(canvas);
    return canvas.Take("cottage", {});
}

} // namespace samples
