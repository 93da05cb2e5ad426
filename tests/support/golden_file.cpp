#include "tests/support/golden_file.h"

#include "platform/cp932.h"
#include "tests/support/test_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tavik::test {
namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

void appendLine(std::string& out, char mark, const std::string& line)
{
    out += mark;
    out += line;
    if (line.empty() || line.back() != '\n')
        out += "\n\\ no line break at the end\n";
}

} // namespace

std::string lineDifferences(const std::string& before, const std::string& after)
{
    const std::vector<std::string> a = linesOf(before), b = linesOf(after);
    // Longest common subsequence of lines, from the ends: golden files are small.
    std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;)
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    std::string out;
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            ++i;
            ++j;
            continue;
        }
        out += "@@ -" + std::to_string(i + 1) + " +" + std::to_string(j + 1) + " @@\n";
        while (i < a.size() || j < b.size()) {
            if (i < a.size() && j < b.size() && a[i] == b[j])
                break;
            if (j == b.size() || (i < a.size() && common[i + 1][j] >= common[i][j + 1]))
                appendLine(out, '-', a[i++]);
            else
                appendLine(out, '+', b[j++]);
        }
    }
    return out;
}

std::string goldenCopy(const std::string& path, const std::string& actual)
{
    std::string stored = readBytes(path);
    const char* update = std::getenv("TAVIK_UPDATE_GOLDEN");
    if (update && *update && update != std::string("0") && stored != actual) {
        const std::string changes = lineDifferences(cp932ToUtf8(stored), cp932ToUtf8(actual));
        std::fprintf(stderr, "golden copy %s %s:\n%s", path.c_str(), stored.empty() ? "written" : "updated",
            changes.empty() ? "(the bytes differ, the text as UTF-8 does not)\n" : changes.c_str());
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeBytes(path, actual);
        stored = actual;
    }
    return stored;
}

} // namespace tavik::test
