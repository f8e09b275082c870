#pragma once
// Files the portable tests write and read back through the platform layer.
#include <string>

// Writes bytes to path (a failed write fails the test) and returns the path.
std::string WriteTestFile(const std::string& path, const std::string& bytes);
// The whole file; a failed read fails the test.
std::string ReadBack(const std::string& path);
