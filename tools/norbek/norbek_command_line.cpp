#include "tools/norbek/norbek_command_line.h"

#include "platform/cp932.h"
#include "platform/paths.h"

#include <algorithm>

namespace tavik {
namespace {

// A repeated list option names the same list again and adds nothing; two
// kinds of list are all a page can hold.
void appendList(std::vector<LiteratureList>& lists, LiteratureList list)
{
    if (std::find(lists.begin(), lists.end(), list) == lists.end())
        lists.push_back(list);
}

} // namespace

NorbekCommandLine NorbekCommandLine::parse(const std::vector<std::string>& arguments)
{
    NorbekCommandLine commandLine;
    for (const std::string& argument : arguments) {
        if (argument == "-sci")
            commandLine.naming = NamingMode::Scientific;
        else if (argument == "-alias1")
            commandLine.naming = NamingMode::Alias1;
        else if (argument == "-alias2")
            commandLine.naming = NamingMode::Alias2;
        else if (argument == "-code")
            commandLine.naming = NamingMode::Code;
        else if (argument == "-area")
            appendList(commandLine.lists, LiteratureList::ByArea);
        else if (argument == "-allarea")
            appendList(commandLine.lists, LiteratureList::AllAreas);
        else if (argument == "-geo")
            commandLine.geo = true;
        else if (argument == "-txt")
            commandLine.fileType = PageFileType::Text;
        else if (argument == "-html")
            commandLine.fileType = PageFileType::Html;
        else if (argument == "-template")
            commandLine.templateIndex = true;
        else if (!argument.empty() && argument[0] == '-') {
            commandLine.badOption = utf8ToCp932(argument);
            break;
        } else if (commandLine.outputPath.empty() && commandLine.pathFault.empty())
            takePathArgument(argument, commandLine.outputPath, commandLine.pathFault);
    }
    return commandLine;
}

bool NorbekCommandLine::wants(LiteratureList list) const
{
    return std::find(lists.begin(), lists.end(), list) != lists.end();
}

bool NorbekCommandLine::allAreasFirst() const { return lists.size() == 2 && lists[0] == LiteratureList::AllAreas; }

std::string NorbekCommandLine::usage()
{
    return cp932Literal("使用法\n"
                        " norbek [-sci, -alias1, -alias2, -code] [-allarea, -area] [-txt] OutputPath\n"
                        "    文献リストをHTML形式もしくはプレーンテキストで生成します.\n"
                        "      -txt    プレーンテキスト( *.hdr,*.exp,*.lit )を作成. 省略時は*.html\n"
                        "      -sci    ファイル名に学名を使用.\n"
                        "      -alias1 ファイル名に別名１（和名）を使用.\n"
                        "      -alias2 ファイル名に別名２を使用.\n"
                        "      -code   ファイル名に種コードを使用.\n"
                        "      -allarea 文献名を全地域通して出力します.\n"
                        "      -area    文献名を地域別に出力します.\n"
                        "      -geo     地域メッシュや緯度経度の文献名も出力します.\n"
                        "      -template  テンプレートからindex.htmlを作成します.\n"
                        "      OutputPath  出力パスを指定すると、その下にファイルを作成します\n"
                        "    このプログラムは、 tavik.ini からの情報に基づいて\n"
                        "    種,系統,地域,文献,種別文献テーブルを参照します.\n"
                        "例：\n"
                        "    norbek -alias1 -area -allarea ..\\explain\n"
                        "    ディレクトリ..\\explain の下に、別名１を使ってHTMLファイルを作ります.\n"
                        "    文献名は、指定順に、まず地域別に記述し、その後に全地域通して記述します.\n");
}

} // namespace tavik
