#include "viewer/session/species_selection.h"

#include "platform/cp932.h"

namespace tavik {

Cp932Text checkSpeciesSelection(int chosen, bool overlay)
{
    if (chosen <= 0)
        return cp932Literal("  種を選択して下さい  ");
    if (overlay && chosen > kOverlayMaxSpecies)
        return cp932Printf(
            "%d > MAX %d \n%s", chosen, kOverlayMaxSpecies, cp932Literal("選択数が多すぎます。").c_str());
    return {};
}

SelectionDialogTexts selectionDialogTexts(bool overlay)
{
    if (overlay)
        return {cp932Literal("種を選択し、重ね合わせて開く"), cp932Literal("重ね合わせて開く"), cp932Literal("ｷｬﾝｾﾙ")};
    return {cp932Literal("種を選択して分布図を開く"), cp932Literal("分布図を開く"), cp932Literal("ｷｬﾝｾﾙ")};
}

} // namespace tavik
