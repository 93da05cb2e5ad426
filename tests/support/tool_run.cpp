#include "tests/support/tool_run.h"

#include "platform/cp932.h"

#include <algorithm>

namespace tavik {

namespace fs = std::filesystem;

ToolRun::ToolRun()
    : folder_(std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) + "_"
        + ::testing::UnitTest::GetInstance()->current_test_info()->name())
    , dir_(fs::path(folder_.path()) / "db")
{
    fs::create_directories(dir_);
}

void ToolRun::write(const std::string& name, const std::string& utf8)
{
    fs::create_directories((dir_ / name).parent_path());
    test::writeBytes((dir_ / name).string(), cp932Literal(utf8));
}

std::string ToolRun::read(const std::string& name) const { return test::readBytes((dir_ / name).string()); }

std::vector<std::string> ToolRun::files() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
        if (entry.is_regular_file())
            names.push_back(fs::relative(entry.path(), dir_).string());
    std::sort(names.begin(), names.end());
    return names;
}

ToolRun::Result ToolRun::run(
    const std::string& tool, const std::vector<std::string>& arguments, const std::string& input) const
{
    return start(tool, arguments, input).wait();
}

test::StartedProcess ToolRun::start(
    const std::string& tool, const std::vector<std::string>& arguments, const std::string& input) const
{
    test::ProcessCall call(test::builtProgram(tool), arguments, dir_.string());
    call.input = input;
    return test::StartedProcess(call);
}

} // namespace tavik
