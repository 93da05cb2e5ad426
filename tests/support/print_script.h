#pragma once

#include "tagfile/tag_reader.h"
#include "viewer/print/print_form_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik::test {

// A script of a print form (a header, title or footer) as the form file holds
// it, read into its tags; a script that does not read fails the test.
inline std::vector<TagNode> printScript(const std::string& text)
{
    TagReader reader;
    reader.setTagTable(PrintFormList::tagTable());
    EXPECT_EQ(reader.parseLines({text}), TagStatus::Ok) << text;
    return reader.nodes();
}

} // namespace tavik::test
