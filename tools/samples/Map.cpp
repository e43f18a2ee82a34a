// The large sample: a map of an island, 640 x 400, with a palette of its
// own. Flat areas of colour with ragged borders: four times the valley's
// pixels, yet its compressed stream fits one image chunk with room to spare.
#include "tools/samples/SampleArt.h"

namespace samples {

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 400;

// Palette indices. Each of the first 16 has a darker shade 16 places on.
enum : unsigned char {
    INK,
    DEEP_SEA,
    SEA,
    SHALLOWS,
    SHOAL,
    BEACH,
    LOWLAND,
    MEADOW,
    HILLS,
    HIGHLAND,
    MOUNTAIN,
    PEAK,
    FOREST,
    TOWN,
    ROAD,
    PARCHMENT,
    SHADE = 16, // add to an index for its darker shade
};

struct Color {
    int red, green, blue;
};
// Multiples of 4, which the palette chunk's 6-bit components hold exactly.
// clang-format off
const Color COLORS[16] = {
    {40, 32, 24},    {20, 44, 96},    {36, 72, 132},   {64, 112, 164},  {108, 156, 196}, {224, 204, 148},
    {132, 176, 92},  {104, 152, 72},  {152, 156, 84},  {164, 132, 88},  {136, 112, 100}, {228, 228, 236},
    {56, 108, 52},   {184, 44, 36},   {120, 84, 52},   {232, 216, 172},
};
// clang-format on

std::vector<unsigned char> MakePalette()
{
    std::vector<unsigned char> palette(1024, 0);
    for (int i = 0; i < 16; ++i) {
        const Color& c = COLORS[i];
        SetEntry(palette, i, c.red, c.green, c.blue);
        SetEntry(palette, SHADE + i, c.red * 3 / 4 / 4 * 4, c.green * 3 / 4 / 4 * 4, c.blue * 3 / 4 / 4 * 4);
    }
    return palette;
}

// Height above the sea in ONE units: fractal noise on a dome, so that the
// land gathers in one large island with a few smaller ones off its coast.
std::int64_t Elevation(int x, int y)
{
    std::int64_t sum = 0, weight = ONE;
    int wavelength = 128;
    for (std::uint32_t octave = 0; octave < 5; ++octave, weight /= 2, wavelength /= 2)
        sum += (Noise(x * ONE / wavelength, y * ONE / wavelength, 31 + octave) - ONE / 2) * weight / ONE;
    const std::int64_t dx = (x - 330) * ONE / 260, dy = (y - 200) * ONE / 160;
    const std::int64_t dome = (dx * dx + dy * dy) / ONE;
    return sum + ONE * 3 / 10 - dome * 45 / 100;
}

// The land or sea band of a height.
unsigned char Band(std::int64_t height)
{
    struct Step {
        int below; // hundredths of ONE
        unsigned char band;
    };
    static const Step STEPS[] = {{-25, DEEP_SEA}, {-12, SEA},   {-4, SHALLOWS}, {0, SHOAL},     {3, BEACH},
                                 {12, LOWLAND},   {22, MEADOW}, {32, HILLS},    {42, HIGHLAND}, {55, MOUNTAIN}};
    for (const Step& step : STEPS)
        if (height < ONE * step.below / 100)
            return step.band;
    return PEAK;
}

bool IsLand(unsigned char band)
{
    band = static_cast<unsigned char>(band % SHADE);
    return band >= BEACH && band <= FOREST;
}

// One pixel of land or sea: woods on the meadows, dashed grid lines across
// the sea.
unsigned char TerrainPixel(int x, int y)
{
    const unsigned char band = Band(Elevation(x, y));
    if (band == MEADOW && Noise(x * ONE / 24, y * ONE / 24, 41) > ONE * 58 / 100)
        return static_cast<unsigned char>((x % 4 == 0 && y % 4 == 0) ? FOREST + SHADE : FOREST);
    if (!IsLand(band) && (x % 80 == 0 || y % 80 == 0) && (x + y) / 3 % 2 == 0)
        return static_cast<unsigned char>(band + SHADE);
    return band;
}

// Land and sea, the coast drawn in ink.
void DrawTerrain(Canvas& canvas)
{
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            canvas.Set(x, y, TerrainPixel(x, y));
    // The coast: land next to the sea.
    for (int y = 1; y < HEIGHT - 1; ++y)
        for (int x = 1; x < WIDTH - 1; ++x)
            if (canvas.At(x, y) == BEACH && (!IsLand(canvas.At(x + 1, y)) || !IsLand(canvas.At(x, y + 1))))
                canvas.Set(x, y, INK);
}

struct Place {
    int x, y;
};
const Place TOWNS[] = {{262, 232}, {330, 200}, {470, 190}, {300, 330}, {372, 78}};

// Roads between the towns, on land only, then the towns on top.
void DrawTowns(Canvas& canvas)
{
    Canvas roads(WIDTH, HEIGHT, 0);
    const int links[][2] = {{0, 1}, {1, 2}, {0, 3}, {1, 4}};
    for (const auto& link : links)
        roads.Line(TOWNS[link[0]].x, TOWNS[link[0]].y, TOWNS[link[1]].x, TOWNS[link[1]].y, 1);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (roads.At(x, y) != 0 && IsLand(canvas.At(x, y)))
                canvas.Set(x, y, ROAD);
    for (const Place& town : TOWNS) {
        canvas.FillRect(town.x - 3, town.y - 3, town.x + 4, town.y + 4, TOWN);
        canvas.FrameRect(town.x - 4, town.y - 4, town.x + 5, town.y + 5, INK);
    }
}

// A compass rose in the sea, its north marked with an N.
void DrawCompass(Canvas& canvas, int x, int y)
{
    canvas.Line(x, y - 34, x, y + 34, INK);
    canvas.Line(x - 34, y, x + 34, y, INK);
    canvas.Line(x - 18, y - 18, x + 18, y + 18, INK);
    canvas.Line(x - 18, y + 18, x + 18, y - 18, INK);
    for (int arm = 1; arm <= 8; ++arm) {
        canvas.Line(x - arm, y - 34 + 4 * arm, x + arm, y - 34 + 4 * arm, PARCHMENT);
        canvas.Line(x - arm, y + 34 - 4 * arm, x + arm, y + 34 - 4 * arm, INK);
    }
    canvas.Disc(x, y, 4, PARCHMENT);
    canvas.Disc(x, y, 2, INK);
    canvas.Line(x - 4, y - 40, x - 4, y - 48, INK);
    canvas.Line(x - 4, y - 48, x + 4, y - 40, INK);
    canvas.Line(x + 4, y - 40, x + 4, y - 48, INK);
}

// A scale bar of five segments, alternately ink and parchment.
void DrawScale(Canvas& canvas, int left, int top)
{
    for (int segment = 0; segment < 5; ++segment)
        canvas.FillRect(left + 16 * segment, top, left + 16 * segment + 16, top + 5,
                        segment % 2 == 0 ? INK : PARCHMENT);
    canvas.FrameRect(left - 1, top - 1, left + 81, top + 6, INK);
}

// Parchment round the edge between two ink lines.
void DrawBorder(Canvas& canvas)
{
    canvas.FillRect(0, 0, WIDTH, 8, PARCHMENT);
    canvas.FillRect(0, HEIGHT - 8, WIDTH, HEIGHT, PARCHMENT);
    canvas.FillRect(0, 0, 8, HEIGHT, PARCHMENT);
    canvas.FillRect(WIDTH - 8, 0, WIDTH, HEIGHT, PARCHMENT);
    canvas.FrameRect(0, 0, WIDTH, HEIGHT, INK);
    canvas.FrameRect(7, 7, WIDTH - 7, HEIGHT - 7, INK);
}

} // namespace

Picture DrawMap()
{
    Canvas canvas(WIDTH, HEIGHT, DEEP_SEA);
    DrawTerrain(canvas);
    DrawTowns(canvas);
    DrawCompass(canvas, 70, 320);
    DrawScale(canvas, 530, 372);
    DrawBorder(canvas);
    return canvas.Take("map", MakePalette());
}

} // namespace samples
