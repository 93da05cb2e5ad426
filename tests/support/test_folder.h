#pragma once

#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include <stdlib.h>

#include <unistd.h>

namespace tavik::test {

// The bytes of a file; empty when it cannot be read.
inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes the bytes as the whole file, replacing what it held.
inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh folder of its own under the test temporary directory, removed
// afterwards. Its name is made unique by mkdtemp, so test cases that CTest
// runs at the same time, or one case that makes several folders of the same
// name, never share a file. Every file a test writes belongs in one.
class TestFolder {
public:
    explicit TestFolder(const std::string& name)
    {
        std::string pattern = ::testing::TempDir();
        if (pattern.empty() || pattern.back() != '/')
            pattern += '/';
        pattern += "tavik_" + name + "_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a test folder from " + pattern);
        path_ = pattern;
    }
    ~TestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Writes bytes to a file in the folder (creating subfolders) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        writeBytes(file.string(), bytes);
        return file.string();
    }
    std::string read(const std::string& name) const { return readBytes((path_ / name).string()); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string path() const { return path_.string(); }
    // The same as the programs' LocalPath.
    LocalPath localFile(const std::string& name) const { return LocalPath(file(name)); }
    LocalPath localFolder() const { return LocalPath(path()); }

private:
    std::filesystem::path path_;
};

} // namespace tavik::test
