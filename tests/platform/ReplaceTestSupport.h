// What the file replacement tests share.
#pragma once

#include "platform/Platform.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

inline bool Replace(const std::string& target, const Bytes& content, int& error)
{
    error = 0;
    return Platform::ReplaceFileContent(target.c_str(), content.data(), content.size(), error);
}

inline Bytes ContentOf(const std::string& path)
{
    Bytes bytes;
    EXPECT_TRUE(ReadBytes(path, bytes)) << path;
    return bytes;
}
