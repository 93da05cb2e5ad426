#include "tools/dwcimport/dwcimport_command_line.h"

#include "platform/report_text.h"

namespace tavik {

std::string DwcImportCommandLine::usage()
{
    return "使用法:\n"
           "  dwcimport [オプション] ダウンロード 入力テーブル\n"
           "      Darwin Core / GBIF の出現記録のダウンロードを ludric と samvel の入力テーブル\n"
           "      (cp932、1 行 9 項目) に変換します. ダウンロードは Darwin Core アーカイブ (zip か\n"
           "      展開したフォルダ、調査イベントのアーカイブも)、GBIF の簡易ダウンロード (zip か\n"
           "      その .csv)、または Darwin Core の項目名を並べた見出しの行のあるテキスト (gzip,\n"
           "      bzip2, xz で圧縮したものも). - は標準入力. 入力テーブルは新しく書かれます.\n"
           "オプション (どれも tavik.ini の [Dwc] でも設定できます):\n"
           "  --literature CODE          すべての行の文献コード (Literature=)\n"
           "  --grid ORDER               緯度経度の代わりに地域メッシュを書く: 1, 2, 3, half,\n"
           "                             quarter, eighth か none (Grid=)\n"
           "  --max-uncertainty METRES   coordinateUncertaintyInMeters がこれより大きい記録を除く、\n"
           "                             または none (MaxUncertainty=)\n"
           "  --rank BASIS:LETTER,...    basisOfRecord ごとの階級、* はその他 (Rank=)\n"
           "  --rank-by-year YEAR:LETTER,...,*:LETTER\n"
           "                             階級を日付で決める: 2000:A,1980:B,*:C は 2000 年以降 A、\n"
           "                             1980 年以降 B、それより前と日付のないもの C (RankByYear=)\n"
           "  --encoding ENCODING        テキストの文字コード: utf-8, cp932, utf-16, latin1\n"
           "                             (Encoding=). BOM があればそれに従います\n"
           "  --help                     この説明\n"
           "dwcimport はカレントディレクトリの tavik.ini と種・地域・文献テーブルを読みます.\n"
           "\n"
           "Usage:\n"
           "  dwcimport [OPTIONS] DOWNLOAD INPUT-TABLE\n"
           "      Convert a Darwin Core / GBIF occurrence download into an input table\n"
           "      (cp932, nine fields a row) for ludric and samvel. DOWNLOAD is a Darwin\n"
           "      Core Archive (zip or unpacked folder, sampling-event archives too), a GBIF\n"
           "      simple download (zip or its .csv), or a text file with a header row of\n"
           "      Darwin Core terms (gzip, bzip2 or xz compressed too); - is standard input.\n"
           "      INPUT-TABLE is written anew.\n"
           "Options (each may also be set in the [Dwc] section of tavik.ini):\n"
           "  --literature CODE          literature code of every row (Literature=)\n"
           "  --grid ORDER               write the grid square of the point instead of its\n"
           "                             coordinates: 1, 2, 3, half, quarter, eighth, or\n"
           "                             none (Grid=)\n"
           "  --max-uncertainty METRES   skip records whose coordinateUncertaintyInMeters\n"
           "                             is larger, or none (MaxUncertainty=)\n"
           "  --rank BASIS:LETTER,...    rank of each basisOfRecord, * for the others (Rank=);\n"
           "                             default PreservedSpecimen:A,HumanObservation:B,\n"
           "                             MachineObservation:B,*:C\n"
           "  --rank-by-year YEAR:LETTER,...,*:LETTER\n"
           "                             rank by date instead: records of YEAR or later take\n"
           "                             LETTER, * the older and undated ones (RankByYear=)\n"
           "  --encoding ENCODING        utf-8, cp932, utf-16 or latin1 (Encoding=); a\n"
           "                             byte-order mark decides where there is one\n"
           "  --help                     show this text\n";
}

bool DwcImportCommandLine::parse(
    const std::vector<std::string>& arguments, DwcImportCommandLine& line, std::string& error)
{
    line = {};
    std::vector<std::string> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= arguments.size()) {
                error = quotedForReportUtf8(a) + " には値が要ります.";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--literature") {
            if (!value(line.literature))
                return false;
        } else if (a == "--grid") {
            if (!value(line.grid))
                return false;
        } else if (a == "--max-uncertainty") {
            if (!value(line.maxUncertainty))
                return false;
        } else if (a == "--rank-by-year") {
            if (!value(line.rankByYear))
                return false;
        } else if (a == "--encoding") {
            if (!value(line.encoding))
                return false;
        } else if (a == "--rank") {
            std::optional<std::string> list;
            if (!value(list))
                return false;
            line.ranks.push_back(*list);
        } else if (a.size() > 1 && a[0] == '-') {
            error = "知らないオプションです: " + quotedForReportUtf8(a);
            return false;
        } else {
            paths.push_back(a);
        }
    }
    if (line.help)
        return true;
    if (paths.size() != 2) {
        error = paths.size() < 2
            ? "ダウンロードと、書く入力テーブルを指定して下さい."
            : "ダウンロードと入力テーブルは一つずつです (余分な引数: " + quotedForReportUtf8(paths[2]) + ").";
        return false;
    }
    line.download = paths[0];
    line.inputTable = paths[1];
    return true;
}

} // namespace tavik
