#include "viewer/session/species_selection.h"

#include "platform/cp932.h"

namespace tavik {

std::string checkSpeciesSelection(int chosen, bool overlay)
{
    if (chosen <= 0)
        return cp932Literal("  種を選択して下さい  ");
    if (overlay && chosen > kOverlayMaxSpecies)
        return cp932Printf(
            "%d > MAX %d \n%s", chosen, kOverlayMaxSpecies, cp932Literal("選択数が多すぎます。").c_str());
    return {};
}

} // namespace tavik
