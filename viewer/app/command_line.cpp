#include "viewer/app/command_line.h"

#include <charconv>

namespace tavik {
namespace {

bool parseCode(const std::string& text, std::int64_t& code)
{
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, code);
    return result.ec == std::errc() && result.ptr == end;
}

} // namespace

std::string commandLineHelp()
{
    return "Usage:\n"
           "  tavik                      the windowed viewer on the database of the current directory\n"
           "  tavik --save PATTERN [--depth 8|24] [--overlay] (CODE... | --all)\n"
           "      Render maps and write them as images. PATTERN is a file path whose\n"
           "      name may hold %S (scientific name), %A1, %A2 (aliases), %C (code);\n"
           "      \".png\" writes PNG, anything else BMP. 24-bit unless --depth 8.\n"
           "      Without --overlay one file per species; with it one map of up to\n"
           "      10 species. Several species need a wildcard in the name.\n"
           "  tavik --print FILE.pdf [--form TITLE] [--overlay] (CODE... | --all)\n"
           "      Lay the species out under the current print form (or TITLE) and\n"
           "      write every page to a PDF (A4 portrait).\n"
           "  tavik --help               show this text\n"
           "\n"
           "CODE is a species code of the species table; --all takes every species in\n"
           "table order. tavik reads tavik.ini and the tables from the current\n"
           "directory. Progress goes to stderr; Ctrl+C stops between maps.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    if (arguments.empty())
        return line;
    auto refuse = [&](std::string why) {
        line.error = std::move(why);
        return line;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= arguments.size())
                return false;
            into = arguments[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            line.job = CommandLine::Job::Help;
            return line;
        } else if (a == "--save" || a == "--print") {
            if (line.job != CommandLine::Job::Windowed)
                return refuse("give only one of --save and --print");
            line.job = a == "--save" ? CommandLine::Job::Save : CommandLine::Job::Print;
            if (!value(line.target))
                return refuse(a + " needs a file path");
        } else if (a == "--depth") {
            std::string depth;
            if (!value(depth) || (depth != "8" && depth != "24"))
                return refuse("--depth takes 8 or 24");
            line.depth = depth == "8" ? 8 : 24;
        } else if (a == "--overlay") {
            line.overlay = true;
        } else if (a == "--all") {
            line.all = true;
        } else if (a == "--form") {
            if (!value(line.form))
                return refuse("--form needs a print form title");
        } else {
            std::int64_t code = 0;
            if (!parseCode(a, code))
                return refuse("unknown argument: " + a);
            line.codes.push_back(code);
        }
    }
    if (line.job == CommandLine::Job::Windowed)
        return refuse("give --save or --print (or no arguments for the viewer)");
    if (line.job == CommandLine::Job::Save && !line.form.empty())
        return refuse("--form belongs to --print");
    if (line.job == CommandLine::Job::Print && line.depth != 24)
        return refuse("--depth belongs to --save");
    if (line.all == !line.codes.empty())
        return refuse("give species codes or --all (not both)");
    return line;
}

} // namespace tavik
