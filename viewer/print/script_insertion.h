#pragma once

#include "platform/cp932_text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// The twelve buttons of the print form editor's script tabs, in the order
// they are shown.
enum class ScriptButton { Font, Left, Center, Right, Cr, Page, NumOfPage, Node, SpCount, SpName, Nomenclator, Legend };
constexpr std::size_t kScriptButtonCount = 12;

// The label of a button (UTF-8).
const char* scriptButtonLabel(ScriptButton button);

// What a button inserts into a script editor: the text (cp932, lines ending
// in "\r\n") and where the caret goes afterwards, in bytes from the start of
// the text: between the two lines of a container, after an empty element.
struct ScriptInsertion {
    std::string text;
    std::size_t caret = 0;
};

// The insertion of a button; the font button takes the size field's text and
// the chosen face (cp932).
ScriptInsertion scriptInsertion(ScriptButton button, std::string_view fontSize = {}, std::string_view fontFace = {});

// The most characters a script editor holds.
constexpr int kScriptEditorLimit = 4000;

// Whether inserting `inserted` characters over a selection of `selected`
// characters keeps an editor of `length` characters within its limit.
inline bool insertionFits(int length, int selected, int inserted)
{
    return length - selected + inserted <= kScriptEditorLimit;
}

// The refusal of an insertion beyond the limit (cp932).
Cp932Text scriptEditorFullMessage();

} // namespace tavik
