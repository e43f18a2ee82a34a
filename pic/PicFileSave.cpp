// Writing a PIC file: the whole file is composed in memory first, so a picture
// that cannot be stored is refused before any file is touched; the platform
// then replaces the target's content whole, or leaves it as it was.
#include "pic/PicFile.h"

#include "converter/support/FileHandle.h"
#include "pic/PicPalette.h"
#include "platform/Platform.h"

#include <cerrno>
#include <string>

namespace {

// 70123 as "70,123": the refusal text quotes sizes as people read them.
std::string GroupThousands(long long value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

void AppendLittle16(ByteBuffer& out, unsigned value)
{
    unsigned char bytes[2] = {static_cast<unsigned char>(value & 0xFF),
                              static_cast<unsigned char>((value >> 8) & 0xFF)};
    out.Append(bytes, 2);
}

} // namespace

bool PicFile::ComposeFile(bool writePalette, ByteBuffer& file)
{
    m_refusalReason.clear();
    ByteBuffer runs;
    ByteBuffer stream;
    if (!EncodeRuns(m_width, m_height, Pixels, runs) || !EncodeCodes(m_width, m_height, runs, stream)) {
        m_refusalReason = "there is not enough memory to compress the picture";
        return false;
    }
    // The image chunk's 16-bit length counts the stream and the 4 size bytes.
    if (stream.Size() > MAX_STREAM_BYTES) {
        m_refusalReason = "the compressed picture needs " + GroupThousands(stream.Size()) +
                          " bytes; a PIC image chunk holds at most " + GroupThousands(MAX_STREAM_BYTES);
        return false;
    }
    if (HasPalette && writePalette)
        PicPalette::AppendChunk(Palette, file);
    file.Append("X0", 2);
    AppendLittle16(file, static_cast<unsigned>(stream.Size() + 4));
    // The sizes were checked where they were set: 0 to 32,767, as the signed fields hold.
    AppendLittle16(file, static_cast<unsigned>(m_width));
    AppendLittle16(file, static_cast<unsigned>(m_height));
    int expected = file.Size() + stream.Size();
    file.Append(stream.Data(), stream.Size());
    if (file.Size() != expected) {
        m_refusalReason = "there is not enough memory to compose the file";
        return false;
    }
    return true;
}

bool PicFile::SaveTo(FileHandle& file, bool writePalette)
{
    ByteBuffer content;
    return ComposeFile(writePalette, content) && content.WriteTo(file);
}

bool PicFile::Save(const char* path, bool writePalette)
{
    m_refusalReason.clear();
    m_saveError = 0;
    if (path == nullptr || *path == '\0') {
        m_saveError = ENOENT;
        return false;
    }
    ByteBuffer content;
    if (!ComposeFile(writePalette, content))
        return false;
    return Platform::ReplaceFileContent(path, content.Data(), static_cast<std::size_t>(content.Size()), m_saveError);
}
