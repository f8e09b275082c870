#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"

std::string WriteTestFile(const std::string& path, const std::string& bytes) {
    EXPECT_TRUE(plat::WriteWholeFile(path, bytes)) << path;
    return path;
}

std::string ReadBack(const std::string& path) {
    std::string data;
    EXPECT_EQ(plat::ReadWholeFile(path, data), plat::ReadResult::Ok) << path;
    return data;
}
