#pragma once

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "tests/support/workspace_access.h"
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
    WorkspaceAccess::phyletic(workspace).load(folder.write("phyletic.csv", cp932Literal(phyletic)), 200);
    WorkspaceAccess::species(workspace).load(
        folder.write("species.csv", cp932Literal(species)), 2000, NameMode::ScientificName, log);
    WorkspaceAccess::species(workspace).assignPhyleticCodes(WorkspaceAccess::phyletic(workspace), log);
}

} // namespace tavik::test
