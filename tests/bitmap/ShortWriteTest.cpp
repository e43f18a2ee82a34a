// POSIX only: a file size limit makes the operating system write less than
// asked, as a full disk would.
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/resource.h>

namespace {

// Lowers the file size limit for its lifetime; writes past it fail with EFBIG
// instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool IsSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

TEST(ShortWrite, AFileWrittenOnlyInPartIsAFailedSave)
{
    ScratchFolder folder;
    std::string path = folder / "out.bmp";
    ASSERT_TRUE(WriteBytes(path, {'o', 'l', 'd'}));
    PLMemBitmap bitmap;
    bitmap.Create(3, 2, 8, false, false, {0, 0});
    {
        FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.IsSet());
        try {
            PLBmpWriter().EncodeFile(path.c_str(), bitmap);
            ADD_FAILURE() << "a 1,086-byte file was reported written under a 1,000-byte limit";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), -1);
            EXPECT_EQ(std::string(e.Text()).rfind("Decoder error: Writing " + path + " failed: ", 0), 0u) << e.Text();
        }
    }
    Bytes kept;
    ASSERT_TRUE(ReadBytes(path, kept));
    EXPECT_EQ(kept, (Bytes{'o', 'l', 'd'})) << "the old file stays";
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.bmp"}) << "and the partial one is gone";
}

} // namespace
