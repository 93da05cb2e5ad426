#include "tools/dwcimport/basis_ranks.h"

#include "platform/ascii_case.h"
#include "platform/report_text.h"
#include "platform/utf8_text.h"

namespace tavik {
namespace {

// The form bases are compared in: letters and digits only, in lower case.
std::string basisKey(std::string_view basis)
{
    std::string key;
    for (char c : basis)
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            key += asciiLower(c);
    return key;
}

} // namespace

BasisRanks::BasisRanks()
{
    std::string unused;
    apply("PreservedSpecimen:A,HumanObservation:B,MachineObservation:B", unused);
}

bool BasisRanks::apply(std::string_view list, std::string& error)
{
    while (!list.empty()) {
        size_t comma = list.find(',');
        std::string_view entry = trimmedBlanks(list.substr(0, comma));
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
        if (entry.empty())
            continue;
        size_t colon = entry.rfind(':');
        std::string_view basis = colon == std::string_view::npos ? "" : trimmedBlanks(entry.substr(0, colon));
        std::string_view letter = colon == std::string_view::npos ? "" : trimmedBlanks(entry.substr(colon + 1));
        if (basis.empty() || letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
            error = "\"" + quotedForReportUtf8(entry)
                + "\" は 記録の基準:文字 (basisOfRecord か *、と A から Z の階級) ではありません.";
            return false;
        }
        if (basis == "*")
            otherwise_ = letter[0];
        else
            ranks_[basisKey(basis)] = letter[0];
    }
    return true;
}

char BasisRanks::rankOf(std::string_view basisOfRecord) const
{
    auto found = ranks_.find(basisKey(basisOfRecord));
    return found == ranks_.end() ? otherwise_ : found->second;
}

std::string BasisRanks::text() const
{
    std::string text;
    for (const auto& [key, letter] : ranks_)
        text += key + ":" + letter + ",";
    return text + "*:" + otherwise_;
}

} // namespace tavik
