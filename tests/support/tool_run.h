#pragma once

#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavik {

// A fixture with a fresh database folder per test, in which the console
// tools of this build run.
class ToolRun : public ::testing::Test {
protected:
    using Result = test::ProcessResult;

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
    // running tool, whose wait() gives its result.
    test::StartedProcess start(
        const std::string& tool, const std::vector<std::string>& arguments, const std::string& input = "") const;

    test::TestFolder folder_; // holds the database folder "db"
    std::filesystem::path dir_;
};

} // namespace tavik
