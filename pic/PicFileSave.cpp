// Writing a PIC file: the whole file is composed in memory first, so a picture
// that cannot be stored is refused before any file is touched; the platform
// then replaces the target's content whole, or leaves it as it was.
#include "pic/PicFile.h"

#include "converter/support/FileHandle.h"
#include "converter/support/LittleEndian.h"
#include "pic/PicPalette.h"
#include "platform/Platform.h"

#include <cerrno>

namespace {

void AppendLittle16(ByteBuffer& out, std::uint16_t value)
{
    unsigned char bytes[2];
    StoreLittle16(bytes, value);
    out.Append(bytes, 2);
}

} // namespace

bool PicFile::ComposeFile(bool writePalette, ByteBuffer& file)
{
    m_refusal = PicRefusal();
    ByteBuffer runs;
    ByteBuffer stream;
    if (!EncodeRuns(m_width, m_height, Pixels, runs) || !EncodeCodes(m_width, m_height, runs, stream)) {
        m_refusal = PicRefusal::OfSize(PicRefusal::SAVE_OUT_OF_MEMORY, m_width, m_height);
        return false;
    }
    // The image chunk's 16-bit length counts the stream and the 4 size bytes.
    if (stream.Size() > MAX_STREAM_BYTES) {
        m_refusal = PicRefusal::OfLength(PicRefusal::STREAM_TOO_LONG, static_cast<std::uint64_t>(stream.Size()),
                                         MAX_STREAM_BYTES);
        return false;
    }
    if (HasPalette && writePalette)
        PicPalette::AppendChunk(Palette, file);
    AppendLittle16(file, IMAGE_TAG);
    AppendLittle16(file, static_cast<std::uint16_t>(stream.Size() + 4));
    // The sizes were checked where they were set: 0 to 32,767, as the signed fields hold.
    AppendLittle16(file, static_cast<std::uint16_t>(m_width));
    AppendLittle16(file, static_cast<std::uint16_t>(m_height));
    int expected = file.Size() + stream.Size();
    file.Append(stream.Data(), stream.Size());
    if (file.Size() != expected) {
        m_refusal = PicRefusal::OfSize(PicRefusal::SAVE_OUT_OF_MEMORY, m_width, m_height);
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
    // No name is no file: it fails as opening it would.
    if (path == nullptr || *path == '\0') {
        m_refusal = PicRefusal::OfWrite(ENOENT);
        return false;
    }
    ByteBuffer content;
    if (!ComposeFile(writePalette, content))
        return false;
    int error = 0;
    if (Platform::ReplaceFileContent(path, content.Data(), static_cast<std::size_t>(content.Size()), error))
        return true;
    m_refusal = PicRefusal::OfWrite(error);
    return false;
}
