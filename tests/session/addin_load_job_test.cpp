// Add-ins loaded on a worker the first time a map opens.
#include "viewer/session/addin_load_job.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "tests/support/workspace_access.h"
#include "viewer/session/workspace.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

namespace tavik {
namespace {

TEST(AddinLoadJob, LoadsOnceAndShowsTheErrorsTogether)
{
    test::TestFolder folder("addin_job");
    folder.write("addin/lines.csv", "E135,N35,MOVETO,red,SOLID,100\r\nE136,N35,LINETO,red,SOLID,100\r\n");
    folder.write("addin/list.lst", "none.csv\r\nlines.csv\r\n");
    Workspace workspace;
    WorkspaceAccess::settings(workspace).startupDirectory = folder.path();
    AddinLoadJob job(workspace);
    EXPECT_FALSE(job.needed()); // no AddinMap: nothing to load, no dialog

    WorkspaceAccess::settings(workspace).addinMap = ".\\addin\\list.lst";
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
    EXPECT_EQ(workspace.addins().records().size(), 2u); // the map opens with what was read
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
    WorkspaceAccess::settings(workspace).startupDirectory = folder.path();
    WorkspaceAccess::settings(workspace).addinMap = "list.lst";
    AddinLoadJob job(workspace);
    job.start();
    job.cancel();
    MessageLog log;
    EXPECT_TRUE(job.finish(log));
    EXPECT_TRUE(job.finished());
    EXPECT_TRUE(log.messages.empty());
    // Stopped at a line: the second file was never started.
    EXPECT_LT(workspace.addins().records().size(), 400000u);
}

// A loader that never returns (an add-in file whose bytes never come): the
// wait dialog's Cancel still gives the windows back, the maps are drawn
// without add-ins, and the stuck worker touches nothing of the viewer's.
TEST(AddinLoadJob, ACancelledLoaderThatNeverReturnsIsLeftBehind)
{
    Workspace workspace;
    WorkspaceAccess::settings(workspace).addinMap = "list.lst";
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    {
        AddinLoadJob job(workspace, [released](AddinOverlays&, const std::string&, const std::string&) {
            released.wait(); // a read that does not return
            return true;
        });
        job.start();
        EXPECT_FALSE(job.finished());
        job.cancel();
        MessageLog log;
        EXPECT_FALSE(job.finish(log));
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.utf8Texts()[0], "Addin の読み込みを中止しました。地図は Addin なしで描きます。");
        EXPECT_TRUE(workspace.addins().records().empty());
        EXPECT_FALSE(job.needed());
    } // the job goes without waiting for its worker
    release->set_value(); // the worker may end now, on its own
}

} // namespace
} // namespace tavik
