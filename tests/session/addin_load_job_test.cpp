// Add-ins loaded on a worker the first time a map opens.
#include "viewer/session/addin_load_job.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/session/workspace.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(AddinLoadJob, LoadsOnceAndShowsTheErrorsTogether)
{
    test::TestFolder folder("addin_job");
    folder.write("addin/lines.csv", "E135,N35,MOVETO,red,SOLID,100\r\nE136,N35,LINETO,red,SOLID,100\r\n");
    folder.write("addin/list.lst", "none.csv\r\nlines.csv\r\n");
    Workspace workspace;
    workspace.settings.startupDirectory = folder.path();
    AddinLoadJob job(workspace);
    EXPECT_FALSE(job.needed()); // no AddinMap: nothing to load, no dialog

    workspace.settings.addinMap = ".\\addin\\list.lst";
    ASSERT_TRUE(job.needed());
    const auto revision = workspace.revision();
    job.start();
    MessageLog log;
    EXPECT_FALSE(job.finish(log));
    EXPECT_TRUE(job.finished());
    EXPECT_FALSE(job.needed());
    EXPECT_GT(workspace.revision(), revision); // maps drawn before are out of date
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0], folder.path() + "/addin/none.csv 見つかりません");
    EXPECT_EQ(workspace.addins.records().size(), 2u); // the map opens with what was read
    EXPECT_EQ(cp932ToUtf8(job.statusText()), "完了");
}

TEST(AddinLoadJob, ACancelledLoadHasEndedWhenFinishReturns)
{
    test::TestFolder folder("addin_cancel");
    std::string many;
    for (int i = 0; i < 200000; ++i)
        many += "E135,N35,DOT,red,SOLID,1\r\n";
    folder.write("big.csv", many);
    folder.write("list.lst", "big.csv\r\nbig.csv\r\n");
    Workspace workspace;
    workspace.settings.startupDirectory = folder.path();
    workspace.settings.addinMap = "list.lst";
    AddinLoadJob job(workspace);
    job.start();
    job.cancel();
    MessageLog log;
    EXPECT_TRUE(job.finish(log));
    EXPECT_TRUE(job.finished());
    EXPECT_TRUE(log.messages.empty());
    // Stopped at a line: the second file was never started.
    EXPECT_LT(workspace.addins.records().size(), 400000u);
}

} // namespace
} // namespace tavik
