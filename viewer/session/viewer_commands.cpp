#include "viewer/session/viewer_commands.h"

#include "platform/cp932.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/settings/settings.h"

#include <algorithm>
#include <cstdio>

namespace tavik {

const std::vector<CommandInfo>& commandTable()
{
    static const std::vector<CommandInfo> table = {
        {Command::OpenDatabase, "データベースを開く(&D)...", "", "ほかのデータベースのフォルダを開きます", false},
        {Command::OpenMap, "分布図を開く(&N)", "Ctrl+N", "種を選んで分布図を開きます", false},
        {Command::OpenOverlay, "重ね合わせて開く", "", "10 種までを重ね合わせた分布図を開きます", false},
        {Command::SaveImage, "画像を保存(&A)...", "", "分布図を画像ファイルに保存します", false},
        {Command::PrintForms, "印刷書式を選択/編集", "", "印刷書式を選び、編集します", false},
        {Command::Print, "印刷(&P)...", "Ctrl+P", "分布図を印刷します", true},
        {Command::PrintPreview, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", "", "印刷される頁を表示します", true},
        {Command::PrintSetup, "ﾌﾟﾘﾝﾀの設定(&R)...", "", "プリンタと用紙を選びます", false},
        {Command::CloseWindow, "閉じる(&C)", "Ctrl+W", "分布図のウィンドウを閉じます", true},
        {Command::Exit, "アプリケーションの終了(&X)", "Ctrl+Q", "表示の設定を保存して終了します", false},
        {Command::TopPage, "先頭の種", "", "最初の種の分布図を表示します", true},
        {Command::PreviousPage, "前の種", "", "前の種の分布図を表示します", true},
        {Command::NextPage, "次の種", "", "次の種の分布図を表示します", true},
        {Command::LastPage, "最後の種", "", "最後の種の分布図を表示します", true},
        {Command::ToolBar, "ツール バー(&T)", "", "ツール バーの表示を切り替えます", false},
        {Command::StatusBar, "ステータス バー(&S)", "", "ステータス バーの表示を切り替えます", false},
        {Command::DispScientificName, "scientific name", "", "学名の表示を切り替えます", false},
        {Command::DispAlias1, "alias 1", "", "別名１の表示を切り替えます", false},
        {Command::DispAlias2, "alias 2", "", "別名２の表示を切り替えます", false},
        {Command::DispMarkLegend, "凡例：　マーク", "", "重ね合わせの凡例にマークを表示します", false},
        {Command::DispFillLegend, "凡例：　塗りつぶし", "", "重ね合わせの凡例に塗りつぶしの色を表示します", false},
        {Command::DisplayOrder, "表示順序", "", "分布図の種の並び順を変えます", true},
        {Command::Painter, "ペンキ屋", "", "マークの形、大きさ、色を設定します", false},
        {Command::GeoLine, "経緯線の表示", "", "経緯線を設定します", false},
        {Command::Mesh, "地域メッシュ", "", "地域メッシュの測地系と描き方を設定します", false},
        {Command::ZoomIn, "拡大(&I)", "Ctrl++", "分布図を拡大して表示します", true},
        {Command::ZoomOut, "縮小(&O)", "Ctrl+-", "分布図を縮小して表示します", true},
        {Command::ZoomToWindow, "ウィンドウに合わせる(&W)", "Ctrl+0", "分布図全体をウィンドウに収めて表示します", true},
        {Command::Cascade, "重ねて表示(&C)", "", "ウィンドウを重ねて並べます", true},
        {Command::Tile, "並べて表示(&T)", "", "ウィンドウを並べて表示します", true},
        {Command::ArrangeIcons, "アイコンの整列(&A)", "", "最小化したウィンドウを整列します", true},
        {Command::Documentation, "ドキュメント", "", "このプログラムの説明書を開きます", false},
        {Command::About, "バージョン情報(&A)...", "", "プログラムの情報を表示します", false},
    };
    return table;
}

const CommandInfo& commandInfo(Command command)
{
    const auto& table = commandTable();
    auto it
        = std::find_if(table.begin(), table.end(), [&](const CommandInfo& info) { return info.command == command; });
    // Every command has an entry; a missing one shows without text.
    static const CommandInfo none{Command::About, "", "", "", false};
    return it == table.end() ? none : *it;
}

bool commandEnabled(Command command, const CQuelnaDoc* active)
{
    switch (command) {
    case Command::Print:
    case Command::PrintPreview:
    case Command::CloseWindow:
    case Command::ZoomIn:
    case Command::ZoomOut:
    case Command::ZoomToWindow:
    case Command::Cascade:
    case Command::Tile:
    case Command::ArrangeIcons:
        return active != nullptr;
    case Command::TopPage:
    case Command::PreviousPage:
        return active && active->currentView() > 1;
    case Command::NextPage:
    case Command::LastPage:
        return active && active->currentView() < active->viewCount();
    case Command::DisplayOrder:
        return active && active->speciesCount() > 1;
    default:
        return true;
    }
}

bool* displaySwitch(Settings& settings, Command command)
{
    switch (command) {
    case Command::DispScientificName:
        return &settings.dispScientificName;
    case Command::DispAlias1:
        return &settings.dispAlias1;
    case Command::DispAlias2:
        return &settings.dispAlias2;
    case Command::DispMarkLegend:
        return &settings.dispMarkLegend;
    case Command::DispFillLegend:
        return &settings.dispFillLegend;
    default:
        return nullptr;
    }
}

const bool* displaySwitch(const Settings& settings, Command command)
{
    return displaySwitch(const_cast<Settings&>(settings), command);
}

std::string mapWindowTitle(const CQuelnaDoc& document)
{
    if (document.isOverlay())
        return "Overlay";
    if (document.speciesCount() == 0)
        return "Quelna1";
    char title[64];
    std::snprintf(title, sizeof title, "( %4d/%4d )", document.currentView(), document.viewCount());
    return title;
}

int pagedView(const CQuelnaDoc& document, Command command)
{
    switch (command) {
    case Command::TopPage:
        return 1;
    case Command::PreviousPage:
        return std::max(1, document.currentView() - 1);
    case Command::NextPage:
        return std::min(document.viewCount(), document.currentView() + 1);
    case Command::LastPage:
        return document.viewCount();
    default:
        return document.currentView();
    }
}

} // namespace tavik
