// Replacing a file's content on Windows keeps the attributes a user set on the
// file, and marks it changed for backups (the archive bit).
#include "platform/Platform.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Win32ReplaceFile, AttributesStayAndTheArchiveBitIsSet)
{
    struct Case {
        const char* name;
        DWORD before;
        DWORD after;
    };
    const Case cases[] = {
        {"plain", FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_ARCHIVE},
        {"hidden", FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {"hidden and system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE},
        {"archive", FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        std::string target = folder / "out.pic";
        ASSERT_TRUE(WriteBytes(target, {1, 2, 3, 4}));
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.before));
        const unsigned char content[] = {9};
        int error = 0;
        ASSERT_TRUE(Platform::ReplaceFileContent(target.c_str(), content, sizeof content, error))
            << Platform::DescribeError(error);
        DWORD mask = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
        EXPECT_EQ(GetFileAttributesA(target.c_str()) & mask, c.after);
        Bytes bytes;
        ASSERT_TRUE(ReadBytes(target, bytes));
        EXPECT_EQ(bytes, (Bytes{9}));
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

} // namespace
