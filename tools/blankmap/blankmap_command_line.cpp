#include "tools/blankmap/blankmap_command_line.h"

#include "platform/cp932.h"

namespace tavik {

bool parseBlankMapCommandLine(
    const std::vector<std::string>& arguments, BlankMapRequest& request, bool& help, std::string& error)
{
    help = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            help = true;
            return true;
        }
        if (argument == "-a") {
            if (i + 1 >= arguments.size()) {
                error = "-a には書き出す地域テーブルのパスを続けてください";
                return false;
            }
            request.areaTablePath = utf8ToCp932(arguments[++i]);
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "分からないオプションです: " + argument;
            return false;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 3) {
        error = "レイアウト、境界データ、書き出す画像の 3 つを指定してください";
        return false;
    }
    request.layoutPath = utf8ToCp932(files[0]);
    request.boundaryPath = utf8ToCp932(files[1]);
    request.imagePath = utf8ToCp932(files[2]);
    const std::string& image = files[2];
    if (image.size() < 4
        || (image.compare(image.size() - 4, 4, ".png") != 0 && image.compare(image.size() - 4, 4, ".PNG") != 0)) {
        error = "画像は .png のファイルにしてください: " + image;
        return false;
    }
    return true;
}

} // namespace tavik
