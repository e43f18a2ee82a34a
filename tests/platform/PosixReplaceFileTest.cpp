// Replacing a file's content on POSIX systems: symbolic links, permissions and
// owners stay as the user set them, and a write that fails halfway leaves the
// old content. Writes are made to fail with the file size limit, which the
// kernel enforces on every write like a full disk.
#include "platform/Platform.h"
#include "tests/common/TestFiles.h"
#include "tests/platform/ReplaceTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const Bytes OLD_CONTENT(100, 'o');
const Bytes NEW_CONTENT = {'n', 'e', 'w'};

struct stat StatOf(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// Lets no file grow beyond limit bytes while it lives; writes past it fail
// with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(PosixReplaceFile, LinksKeepPointingWhereTheyDid)
{
    struct Case {
        const char* name;
        const char* link;     // the link named on the command line
        const char* pointsTo; // what it holds
        const char* real;     // the file that gets the content
        bool realExists;
    };
    const Case cases[] = {
        {"a relative link", "v.bmp", "real/v.bmp", "real/v.bmp", true},
        {"a link in a folder, relative to it", "links/v.bmp", "../real/v.bmp", "real/v.bmp", true},
        {"a chain of two links", "v.bmp", "links/w.bmp", "real/v.bmp", true},
        {"a dangling link creates its file", "v.bmp", "real/new.bmp", "real/new.bmp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        fs::create_directory(folder / "real");
        fs::create_directory(folder / "links");
        if (c.realExists) {
            ASSERT_TRUE(WriteBytes(folder / c.real, OLD_CONTENT));
        }
        if (std::string(c.pointsTo) == "links/w.bmp")
            fs::create_symlink("../real/v.bmp", folder / "links/w.bmp");
        fs::create_symlink(c.pointsTo, folder / c.link);
        int error = 0;
        ASSERT_TRUE(Platform::MayReplaceFile((folder / c.link).c_str(), error)) << Platform::DescribeError(error);
        ASSERT_TRUE(Replace(folder / c.link, NEW_CONTENT, error)) << Platform::DescribeError(error);
        EXPECT_TRUE(fs::is_symlink(folder / c.link));
        EXPECT_EQ(fs::read_symlink(folder / c.link), fs::path(c.pointsTo));
        EXPECT_EQ(ContentOf(folder / c.real), NEW_CONTENT);
        std::size_t files = 0;
        for (const auto& entry : fs::directory_iterator(folder / "real"))
            files += entry.is_regular_file() ? 1 : 0;
        EXPECT_EQ(files, 1u) << "no temporary file is left beside the real file";
    }
}

TEST(PosixReplaceFile, LinkLoopsAreRefused)
{
    ScratchFolder folder;
    fs::create_symlink("b.pic", folder / "a.pic");
    fs::create_symlink("a.pic", folder / "b.pic");
    int error = 0;
    EXPECT_FALSE(Replace(folder / "a.pic", NEW_CONTENT, error));
    EXPECT_EQ(error, ELOOP);
    EXPECT_TRUE(fs::is_symlink(folder / "a.pic"));
}

TEST(PosixReplaceFile, PermissionsStayAndNewFilesFollowTheMask)
{
    const mode_t modes[] = {0600, 0640, 0644, 0755, 0666, 02755};
    for (mode_t mode : modes) {
        SCOPED_TRACE(mode);
        ScratchFolder folder;
        std::string target = folder / "out.pic";
        ASSERT_TRUE(WriteBytes(target, OLD_CONTENT));
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        int error = 0;
        ASSERT_TRUE(Replace(target, NEW_CONTENT, error)) << Platform::DescribeError(error);
        EXPECT_EQ(StatOf(target).st_mode & 07777, mode);
    }
    ScratchFolder folder;
    mode_t mask = ::umask(027);
    int error = 0;
    EXPECT_TRUE(Replace(folder / "new.pic", NEW_CONTENT, error));
    ::umask(mask);
    EXPECT_EQ(StatOf(folder / "new.pic").st_mode & 07777, 0640u);
}

TEST(PosixReplaceFile, OwnerAndGroupStay)
{
    // Only root can give a file away; others replace files they own.
    ScratchFolder folder;
    std::string target = folder / "out.pic";
    ASSERT_TRUE(WriteBytes(target, OLD_CONTENT));
    constexpr uid_t NOBODY = 65534;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(target.c_str(), NOBODY, NOBODY), 0);
    }
    struct stat before = StatOf(target);
    int error = 0;
    ASSERT_TRUE(Replace(target, NEW_CONTENT, error)) << Platform::DescribeError(error);
    struct stat after = StatOf(target);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
}

TEST(PosixReplaceFile, DevicesAndPipesAreNotReplaced)
{
    ScratchFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.pic").c_str(), 0600), 0);
    int error = 0;
    EXPECT_FALSE(Platform::MayReplaceFile((folder / "pipe.pic").c_str(), error));
    EXPECT_EQ(error, Platform::NOT_A_FILE);
    EXPECT_FALSE(Replace(folder / "pipe.pic", NEW_CONTENT, error));
    EXPECT_EQ(error, Platform::NOT_A_FILE);
    EXPECT_FALSE(Replace("/dev/null", NEW_CONTENT, error));
}

TEST(PosixReplaceFile, AWriteThatFailsLeavesTheOldContentAndNoStrayFile)
{
    // A plain file goes through a temporary beside it; a hard-linked one is
    // written in place and its old content written back.
    const Bytes large(8192, 'L');
    for (bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "written in place" : "written beside");
        ScratchFolder folder;
        std::string target = folder / "out.pic";
        ASSERT_TRUE(WriteBytes(target, OLD_CONTENT));
        if (linked)
            fs::create_hard_link(target, folder / "twin.pic");
        int error = 0;
        bool replaced = true;
        {
            FileSizeLimit limit(4096);
            replaced = Replace(target, large, error);
        }
        EXPECT_FALSE(replaced);
        EXPECT_EQ(error, EFBIG);
        EXPECT_EQ(ContentOf(target), OLD_CONTENT);
        EXPECT_EQ(folder.Names().size(), linked ? 2u : 1u);
        if (linked) {
            EXPECT_TRUE(Platform::SameFile(target.c_str(), (folder / "twin.pic").c_str()));
        }
    }
}

TEST(PosixReplaceFile, NamesFoundWithoutCaseSeeTheFilesJustWritten)
{
    // A batch looks names up in a folder it writes to: a file it has just
    // written is found at once, even within one tick of the folder's clock.
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "VALLEY.PIC", OLD_CONTENT));
    EXPECT_EQ(Platform::ResolveNameCase((folder / "valley.pic").c_str()), folder / "VALLEY.PIC");
    EXPECT_EQ(Platform::ResolveNameCase((folder / "a.bmp").c_str()), folder / "a.bmp");
    int error = 0;
    ASSERT_TRUE(Replace(folder / "A.BMP", NEW_CONTENT, error)) << Platform::DescribeError(error);
    EXPECT_EQ(Platform::ResolveNameCase((folder / "a.bmp").c_str()), folder / "A.BMP");
    ASSERT_TRUE(Replace(folder / "a.Bmp", NEW_CONTENT, error)) << Platform::DescribeError(error);
    EXPECT_EQ(Platform::ResolveNameCase((folder / "a.bmp").c_str()), folder / "a.bmp") << "two twins: no choice";
}

} // namespace
