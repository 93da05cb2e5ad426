#pragma once

#include <string>

namespace tavik::test {

// The golden copy of an output: the bytes of the file at `path` (under
// tests/data), which a test compares its output with.
//
// Run with TAVIK_UPDATE_GOLDEN=1, `actual` becomes the golden copy first,
// and where it changes the copy, the changed lines (old "-", new "+", cp932
// shown as UTF-8) go to standard error, so that whoever updates sees what
// the update accepts before committing it.
std::string goldenCopy(const std::string& path, const std::string& actual);

// The changed lines between two texts, as `diff` shows them without context:
// "@@ -<line> +<line> @@" and the lines taken out ("-") and put in ("+").
// Empty when the texts are the same.
std::string lineDifferences(const std::string& before, const std::string& after);

} // namespace tavik::test
