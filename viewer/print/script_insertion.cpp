#include "viewer/print/script_insertion.h"

#include "platform/cp932.h"

namespace tavik {

const char* scriptButtonLabel(ScriptButton button)
{
    static const char* const labels[kScriptButtonCount] = {"フォント", "左寄せ", "中央", "右寄せ", "改行", "ページ番号",
        "ページ数", "分類ノード", "通番", "種名", "命名者", "凡例"};
    return labels[static_cast<int>(button)];
}

ScriptInsertion scriptInsertion(ScriptButton button, std::string_view fontSize, std::string_view fontFace)
{
    // A container comes as its start and end lines with the caret between
    // them, ready for its content; an empty element as one line, the caret
    // after it.
    auto container = [](const std::string& start, const std::string& name) {
        return ScriptInsertion{start + "</" + name + ">\r\n", start.size()};
    };
    auto single = [](const char* line) {
        std::string text = std::string(line) + "\r\n";
        return ScriptInsertion{text, text.size()};
    };
    switch (button) {
    case ScriptButton::Font:
        return container("<font size=\"" + std::string(fontSize) + "\" facename=\"" + std::string(fontFace)
                + "\" italic=\"false\">\r\n",
            "font");
    case ScriptButton::Left:
        return container("<left>\r\n", "left");
    case ScriptButton::Center:
        return container("<center>\r\n", "center");
    case ScriptButton::Right:
        return container("<right>\r\n", "right");
    case ScriptButton::Cr:
        return single("<cr/>");
    case ScriptButton::Page:
        return single("<page start=\"1\"/>");
    case ScriptButton::NumOfPage:
        return single("<numofpage/>");
    case ScriptButton::Node:
        return single("<node level=\"1\" name=\"scientific\" order=\"1\"/>");
    case ScriptButton::SpCount:
        return single("<spcount start=\"1\" format=\"0000\"/>");
    case ScriptButton::SpName:
        return single("<spname name=\"scientific\" order=\"1\"/>");
    case ScriptButton::Nomenclator:
        return single("<nomenclator wrap=\"false\" indent=\"0\" order=\"1\"/>");
    case ScriptButton::Legend:
        break;
    }
    return single("<legend draw=\"mark\" rank=\"a\" order=\"1\"/>");
}

Cp932Text scriptEditorFullMessage() { return cp932Literal("これ以上テキストを追加できません。"); }

} // namespace tavik
