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
    return "使い方:\n"
           "  tavik [フォルダ]\n"
           "      データベース（tavik.ini のあるフォルダ）をウィンドウで開きます。フォルダを\n"
           "      付けなければ現在のフォルダです。そこに tavik.ini がなければ、最近使った\n"
           "      データベースか見本を選ぶ「データベースを開く」画面が出ます。\n"
           "  tavik --save パターン [--depth 8|24] [--overlay] (種コード... | --all)\n"
           "      分布図を描いて画像ファイルに保存します。パターンはファイルのパスで、\n"
           "      名前に %S（学名）、%A1、%A2（別名）、%C（種コード）を入れられます。\n"
           "      名前が .png で終われば PNG、ほかは BMP で書きます。--depth 8 を付けなければ\n"
           "      24 ビットです。--overlay なしは種ごとに 1 ファイル、付けると最大 10 種を\n"
           "      重ねた 1 枚の図です。複数の種を保存するには名前に %S などが要ります。\n"
           "  tavik --print ファイル.pdf [--form 書式名] [--overlay] (種コード... | --all)\n"
           "      現在の印刷書式（--form ではその書式）で種を並べ、すべてのページを\n"
           "      PDF（A4 縦）に書きます。\n"
           "  tavik --help\n"
           "      この説明を表示します。\n"
           "  tavik --version\n"
           "      版を表示します。\n"
           "\n"
           "種コードは種テーブルの種コードです。--all は種テーブルの順にすべての種を\n"
           "とります。tavik.ini と各テーブルは現在のフォルダから読みます。進み具合は\n"
           "標準エラーに出ます。Ctrl+C で次の図の前に止まります。\n"
           "終了状態: 0 成功、1 失敗（コマンド行の誤りを含む）。\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    if (arguments.empty())
        return line;
    // `tavik FOLDER` (as a file manager or the menu entry starts it) opens
    // the database in that folder in the windows.
    if (arguments.size() == 1 && !arguments[0].empty() && arguments[0][0] != '-') {
        line.folder = LocalPath(arguments[0]);
        return line;
    }
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
                return refuse("--save と --print はどちらか一方だけを指定してください");
            line.job = a == "--save" ? CommandLine::Job::Save : CommandLine::Job::Print;
            if (!value(line.target))
                return refuse(a + " にはファイルのパスを続けてください");
        } else if (a == "--depth") {
            std::string depth;
            if (!value(depth) || (depth != "8" && depth != "24"))
                return refuse("--depth には 8 か 24 を指定してください");
            line.depth = depth == "8" ? 8 : 24;
        } else if (a == "--overlay") {
            line.overlay = true;
        } else if (a == "--all") {
            line.all = true;
        } else if (a == "--form") {
            if (!value(line.form))
                return refuse("--form には印刷書式の名前を続けてください");
        } else {
            std::int64_t code = 0;
            if (!parseCode(a, code))
                return refuse("分からない引数です: " + a);
            line.codes.push_back(code);
        }
    }
    if (line.job == CommandLine::Job::Windowed)
        return refuse(
            "--save か --print を指定してください（ウィンドウで開くときは引数なしか、データベースのフォルダ）");
    if (line.job == CommandLine::Job::Save && !line.form.empty())
        return refuse("--form は --print とともに使います");
    if (line.job == CommandLine::Job::Print && line.depth != 24)
        return refuse("--depth は --save とともに使います");
    if (line.all == !line.codes.empty())
        return refuse("種コードか --all のどちらか一方を指定してください");
    return line;
}

} // namespace tavik
