#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// One run of the literature writer, from its command line to the last page.
class Norbek {
public:
    // Runs with the arguments (UTF-8, without the program name) in the
    // current directory. Questions are asked on `out` and answered from `in`;
    // page lines go to `out`, faults and the usage text to `err`. Returns the
    // exit status: 0 when the pages were written, 1 otherwise.
    static int run(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err);

    // The output folder text of an output path: the path with a separator
    // appended unless it ends in one; empty for no path (the current folder).
    static std::string outputDirectory(std::string_view outputPath);

private:
    static int runNorbek(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err);
};

} // namespace tavik
