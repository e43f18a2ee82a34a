// Draws the project's sample pictures and writes each through the converter's
// image document: as <folder>/<name>.pic, and as <name>.bmp converted from
// that PIC file. The committed samples/ folder is checked against a fresh run.
//
//   make_samples samples
#include "converter/ImageDocument.h"
#include "tools/samples/SampleArt.h"

#include <cstdio>
#include <string>

namespace {

// A palette chunk exactly when the picture has a palette, as the converter writes.
bool WritePic(const samples::Picture& picture, const std::string& path)
{
    ImageDocument document;
    document.Width = picture.width;
    document.Height = picture.height;
    document.Pixels.Append(picture.pixels.data(), static_cast<int>(picture.pixels.size()));
    document.Palette.Append(picture.palette.data(), static_cast<int>(picture.palette.size()));
    if (document.Save(path.c_str(), ImageDocument::TYPE_PIC))
        return true;
    std::fprintf(stderr, "%s: not written%s%s\n", path.c_str(), document.RefusalReason().IsEmpty() ? "" : ": ",
                 document.RefusalReason().Text());
    return false;
}

bool WriteBmpFromPic(const std::string& picPath, const std::string& bmpPath)
{
    ImageDocument document;
    if (document.Load(picPath.c_str()) && document.Save(bmpPath.c_str(), ImageDocument::TYPE_BMP))
        return true;
    std::fprintf(stderr, "%s: not written from %s%s%s\n", bmpPath.c_str(), picPath.c_str(),
                 document.RefusalReason().IsEmpty() ? "" : ": ", document.RefusalReason().Text());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <folder>\n");
        return 2;
    }
    for (const samples::Picture& picture : {samples::DrawValley(), samples::DrawCottage(), samples::DrawMap()}) {
        const std::string base = std::string(argv[1]) + "/" + picture.name;
        if (!WritePic(picture, base + ".pic") || !WriteBmpFromPic(base + ".pic", base + ".bmp"))
            return 1;
        std::printf("%s.pic and %s.bmp written\n", base.c_str(), base.c_str());
    }
    return 0;
}
