#pragma once

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavik {

// A fixture with a fresh database folder per test, in which the real tool
// binaries run.
class ToolRun : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        std::string out; // stdout, UTF-8 as printed
        std::string err; // stderr
    };

    ToolRun();

    // Writes UTF-8 text into the database folder as a cp932 file.
    void write(const std::string& name, const std::string& utf8);
    // The bytes of a file in the database folder ("" when missing).
    std::string read(const std::string& name) const;
    // The file names in the database folder, sorted.
    std::vector<std::string> files() const;

    // Runs build/bin/<tool> with the arguments in the database folder; the
    // tool reads `input` (UTF-8 as typed) as its standard input.
    Result run(const std::string& tool, const std::vector<std::string>& arguments, const std::string& input = "") const;

    // The same in two steps, for runs side by side: start() returns the
    // process, finish() waits for it.
    struct Started {
        int process = -1;
        std::string outPath, errPath;
    };
    Started start(
        const std::string& tool, const std::vector<std::string>& arguments, const std::string& input = "") const;
    Result finish(const Started& started) const;

    test::TestFolder folder_; // holds the output files and the database folder "db"
    std::filesystem::path dir_;
};

} // namespace tavik
