#include "tests/tools/tool_run.h"

#include "platform/cp932.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

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
    std::ofstream(dir_ / name, std::ios::binary) << cp932Literal(utf8);
}

std::string ToolRun::read(const std::string& name) const
{
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

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
    return finish(start(tool, arguments, input));
}

ToolRun::Started ToolRun::start(
    const std::string& tool, const std::vector<std::string>& arguments, const std::string& input) const
{
    static int runs = 0;
    const std::string suffix = std::to_string(++runs);
    std::string program = std::string(TAVIK_BIN) + "/" + tool;
    std::string inPath = folder_.write("stdin" + suffix, input);
    Started started;
    started.outPath = folder_.file("stdout" + suffix);
    started.errPath = folder_.file("stderr" + suffix);
    std::vector<char*> argv;
    argv.push_back(program.data());
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = ::fork();
    if (child == 0) {
        int in = ::open(inPath.c_str(), O_RDONLY);
        int out = ::open(started.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(started.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::chdir(dir_.c_str()) != 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    started.process = child;
    return started;
}

ToolRun::Result ToolRun::finish(const Started& started) const
{
    Result result;
    int status = 0;
    if (started.process > 0 && ::waitpid(started.process, &status, 0) == started.process && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    result.out = slurp(started.outPath);
    result.err = slurp(started.errPath);
    return result;
}

} // namespace tavik
