// Draws the project's sample pictures and writes each as <folder>/<name>.pic
// with the project's encoder, and as <name>.bmp the way the converter writes
// it from that PIC file (through the same image document). The committed
// samples/ folder is checked against a fresh run.
//
//   make_samples samples
#include "converter/ImageDocument.h"
#include "pic/PicFile.h"
#include "tools/samples/SampleArt.h"

#include <cstdio>
#include <string>

namespace {

bool WritePic(const samples::Picture& picture, const std::string& path)
{
    PicFile pic;
    const unsigned char* palette = picture.palette.empty() ? nullptr : picture.palette.data();
    if (pic.SetImage(picture.width, picture.height, picture.pixels.data(), palette) && pic.Save(path.c_str(), true))
        return true;
    std::fprintf(stderr, "%s: not written%s%s\n", path.c_str(), pic.RefusalReason().empty() ? "" : ": ",
                 pic.RefusalReason().c_str());
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
