#include "bench/pic/GifPeer.h"

#include <gif_lib.h>

#include <cstring>

namespace {

struct MemoryReader {
    const std::vector<unsigned char>* file;
    size_t position;
};

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int count)
{
    auto* file = static_cast<std::vector<unsigned char>*>(gif->UserData);
    file->insert(file->end(), bytes, bytes + count);
    return count;
}

int ReadFromMemory(GifFileType* gif, GifByteType* bytes, int count)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    size_t left = reader->file->size() - reader->position;
    size_t taken = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
    std::memcpy(bytes, reader->file->data() + reader->position, taken);
    reader->position += taken;
    return static_cast<int>(taken);
}

} // namespace

bool GifEncode(int width, int height, const unsigned char* pixels, std::vector<unsigned char>& file)
{
    file.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&file, WriteToVector, &error);
    if (gif == nullptr)
        return false;
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), static_cast<GifByteType>(i)};
    ColorMapObject* map = GifMakeMapObject(256, colors);
    // The whole picture goes in as one line: the peer's encoder takes any length.
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK &&
              EGifPutLine(gif, const_cast<GifPixelType*>(pixels), width * height) == GIF_OK;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

bool GifDecode(const std::vector<unsigned char>& file, int width, int height, unsigned char* pixels)
{
    MemoryReader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (gif == nullptr)
        return false;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    bool ok = false;
    while (DGifGetRecordType(gif, &record) == GIF_OK && record != TERMINATE_RECORD_TYPE) {
        if (record == IMAGE_DESC_RECORD_TYPE) {
            ok = DGifGetImageDesc(gif) == GIF_OK && gif->Image.Width == width && gif->Image.Height == height &&
                 DGifGetLine(gif, pixels, width * height) == GIF_OK;
            break;
        }
        if (record != EXTENSION_RECORD_TYPE)
            break;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK)
            break;
        while (block != nullptr && DGifGetExtensionNext(gif, &block) == GIF_OK) {
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}
