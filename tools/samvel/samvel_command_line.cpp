#include "tools/samvel/samvel_command_line.h"

#include "platform/cp932.h"
#include "platform/paths.h"

namespace tavik {

SamvelCommandLine SamvelCommandLine::parse(const std::vector<std::string>& arguments)
{
    SamvelCommandLine commandLine;
    for (const std::string& argument : arguments) {
        if (argument == "-rebuild" || argument == "-Rebuild") {
            commandLine.rebuild = true;
        } else if (!argument.empty() && argument[0] == '-') {
            commandLine.invalidParameter = utf8ToCp932(argument);
            break;
        } else if (commandLine.inputPattern.empty() && commandLine.pathFault.empty()) {
            takePathArgument(argument, commandLine.inputPattern, commandLine.pathFault);
        }
    }
    return commandLine;
}

std::string SamvelCommandLine::usage()
{
    return cp932Literal("使用法\n"
                        "    samvel  入力テーブル\n"
                        "    例： samvel  ..\\list\\*.csv\n"
                        "    入力テーブルのパス名にはワイルドカードが使えます.\n"
                        "    このプログラムは、種テーブル・文献テーブル・種別分布テーブル・種別文献テーブル\n"
                        "    を tavik.ini からの情報に基づいて参照します.\n"
                        "  もしくは\n"
                        "    samvel  -rebuild  入力テーブル\n"
                        "    -rebuild 指定の場合、種別分布テーブルを最初から作り直します.\n");
}

} // namespace tavik
