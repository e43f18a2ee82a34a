// The converter's one image type: 8-bit palette indices and a palette of 256
// entries 0x00BBGGRR, loaded from and saved to PIC or BMP files as the file
// name's extension says. It is where the formats' palettes meet.
#pragma once

#include "converter/support/ByteBuffer.h"
#include "converter/support/CharString.h"

#include <cstdint>

class PLBmpReader;
class PLMemBitmap;
class PaletteMapper;

class ImageDocument {
public:
    // FileType values.
    static constexpr int TYPE_NONE = 0;
    static constexpr int TYPE_PIC = 1;
    static constexpr int TYPE_BMP = 2;

    ImageDocument();
    ImageDocument(const ImageDocument&) = delete;
    ImageDocument& operator=(const ImageDocument&) = delete;
    virtual ~ImageDocument() = default;

    void Reset();
    // True when an image was loaded. A failed load changes nothing but FileType;
    // RefusalReason() then says what was wrong, when the reader knows.
    bool Load(const char* name);
    // As Load, without the message box of a PIC file's unknown chunks: for a
    // file the user did not name as a source, such as the one an output replaces.
    bool LoadQuietly(const char* name);
    // As Load; but a true-colour BMP file (16, 24 or 32 bits a pixel), which
    // Load refuses, is read with its colours mapped onto mapper's palette a
    // row at a time, so that it is never held at 4 bytes a pixel, and the
    // document takes that palette. Pixels the mapper could not map are index
    // 0; the mapper counts them, and the caller decides.
    bool LoadMapped(const char* name, PaletteMapper& mapper);
    // Maps the colours that the loaded pixels show (their palette's entries)
    // onto mapper's palette, each pixel's own index deciding between equal
    // entries, and takes that palette. False, with the document unchanged,
    // when there is no memory for the work.
    bool MapOnto(PaletteMapper& mapper);
    // Whether the last load read a true-colour BMP file (LoadMapped), or
    // refused one for its depth (Load).
    bool IsTrueColor() const { return m_trueColor; }
    bool RefusedTrueColor() const { return m_refusedTrueColor; }
    // Whether the last load found a picture: false after a PIC file without an
    // image chunk, which loads as a 0 x 0 picture (its palette may still serve).
    bool HadImage() const { return m_hadImage; }
    // fileType 1 PIC, 2 BMP; any other value writes nothing and succeeds.
    // False when the file could not be written; RefusalReason() then tells why.
    bool Save(const char* name, int fileType);
    bool Save(const char* name);
    void SetDefaultPalette();

    // Why the last Load or Save failed, as one line without a line end: what
    // PicFile refused or the document's own checks found, worded from
    // Messages.h, or the bitmap library's error text. Empty after a success, or when there was nothing to add (a file
    // that could not be opened, an extension that is neither).
    const CharString& RefusalReason() const { return m_refusalReason; }
    // Palette entry i (0..255) as 0x00BBGGRR; 0 when Palette holds no data.
    std::uint32_t PaletteEntry(int i) const;

    // The format of a name, from its extension compared without regard to case.
    static int FileTypeOf(const char* name);

    bool HasPalette = true;
    ByteBuffer Palette;
    ByteBuffer Pixels;
    int Width = 0;
    int Height = 0;
    int FileType = TYPE_NONE;
    // After a PIC load, how many of the Width x Height pixels the file's data
    // gave; the rest are index 0. Not kept for BMP files, whose run-length
    // data may end early by design.
    std::uint64_t GivenPixels = 0;

private:
    bool LoadPic(const char* name);
    bool SavePic(const char* name);
    // True when Pixels holds the Width x Height bytes the savers read; false,
    // with the reason set, when the fields do not describe a picture.
    bool CheckPixels();
    bool LoadBmp(const char* name, PaletteMapper* trueColorMapper);
    // The rows of a true-colour file through mapper into Pixels.
    bool TakeMappedRows(PLBmpReader& reader, PaletteMapper& mapper);
    void TakePalette(const std::uint32_t* entries);
    // Takes over a decoded 8-bit bitmap's pixels and colour table; false,
    // with the document unchanged, for a bitmap without pixels.
    bool TakeBitmap(PLMemBitmap& bitmap);
    bool SaveBmp(const char* name);
    // Keeps text as the reason, without the line ends it may carry.
    void SetRefusalReason(const char* text);

    CharString m_refusalReason;
    bool m_trueColor = false;
    bool m_refusedTrueColor = false;
    bool m_hadImage = false;
    bool m_quiet = false;
};
