#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

// Writes bytes to a file of that name in the test temporary directory and
// returns its path.
inline std::string writeTemp(const std::string& name, const std::string& bytes)
{
    const std::string path = ::testing::TempDir() + "/" + name;
    writeBytes(path, bytes);
    return path;
}

// A fresh folder under the test temporary directory, removed afterwards. The
// process id keeps tests that CTest runs at the same time apart.
class TestFolder {
public:
    explicit TestFolder(const std::string& name)
        : path_(std::filesystem::path(::testing::TempDir()) / ("tavik_" + std::to_string(::getpid()) + "_" + name))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() { std::filesystem::remove_all(path_); }

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

private:
    std::filesystem::path path_;
};

} // namespace tavik::test
