#pragma once

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/session/workspace.h"

#include <string>

namespace tavik::test {

// A workspace holding only the species and group tables, read from the texts
// given (UTF-8, written as cp932), as the start-up leaves them: groups
// assigned, the name list sorted by scientific name.
inline void loadSpeciesTables(
    Workspace& workspace, const TestFolder& folder, const std::string& phyletic, const std::string& species)
{
    MessageLog log;
    workspace.phyletic.load(folder.write("phyletic.csv", cp932Literal(phyletic)), 200);
    workspace.species.load(folder.write("species.csv", cp932Literal(species)), 2000, NameMode::ScientificName, log);
    workspace.species.assignPhyleticCodes(workspace.phyletic, log);
}

} // namespace tavik::test
