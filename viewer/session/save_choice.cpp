#include "viewer/session/save_choice.h"

#include "platform/cp932.h"
#include "platform/paths.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/map_saver.h"
#include "viewer/session/species_tree.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <algorithm>

namespace tavik {
namespace {

// Longest file name Linux takes (bytes of the local, UTF-8 name).
constexpr size_t kNameMax = 255;

size_t lastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

} // namespace

bool isValidSaveName(const std::string& path)
{
    const size_t separator = lastSeparator(path);
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    if (name.empty() || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f)
            return false;
    }
    // The name must survive the way to the file system and back whole.
    const std::string local = localPath(name).utf8();
    if (local.empty() || local.size() > kNameMax || utf8ToCp932(local).bytes() != name)
        return false;
    const std::string folder = saveFolderOf(path);
    return isDirectory(folder.empty() ? std::string(".") : folder);
}

SaveChoiceCheck checkSaveChoice(const TreeSelection& chosen, const std::string& path, bool overlay)
{
    const int count = static_cast<int>(chosen.rows.size());
    if (count == 0)
        return {SaveChoiceStatus::NothingChosen, cp932Literal("    何も選択されていません。    ")};
    if (!isValidSaveName(path))
        return {SaveChoiceStatus::InvalidName, cp932Literal("    ファイル名が無効です。    ")};
    // The same rule the saving engine holds every job to.
    SaveJob job;
    job.path = path;
    job.overlay = overlay;
    job.species.assign(chosen.rows.size(), nullptr);
    if (Cp932Text refusal = checkSaveJob(job); !refusal.empty())
        return {SaveChoiceStatus::NeedsWildcard, refusal};
    if (chosen.groupChecked && count > 1)
        return {SaveChoiceStatus::ConfirmTotal,
            cp932Printf("上位グループにチェックがつけられているので合計 %d 種を保存します。よろしいですか？", count)};
    return {};
}

std::string proposedSaveName(NameMode mode)
{
    switch (mode) {
    case NameMode::Alias1Name:
        return "%A1";
    case NameMode::Alias2Name:
        return "%A2";
    case NameMode::ScientificName:
        break;
    }
    return "%S";
}

std::string saveFolderOf(const std::string& path)
{
    const size_t separator = lastSeparator(path);
    if (separator == std::string::npos)
        return {};
    if (separator == 0)
        return path.substr(0, 1);
    return path.substr(0, separator);
}

Cp932Text overwriteQuestion(const std::string& path)
{
    return cp932Printf("%s は既に存在します。\n上書きしますか？", path.c_str());
}

std::vector<const SpeciesRecord*> speciesToSave(
    const TreeSelection& chosen, const CQuelnaDoc& document, const SpeciesTable& species)
{
    std::vector<const SpeciesRecord*> saved;
    std::vector<size_t> rows = chosen.rows;
    if (document.isOverlay()) {
        for (const SpeciesRecord& shown : document.species()) {
            auto row = std::find_if(rows.begin(), rows.end(),
                [&](size_t r) { return r < species.rows().size() && species.rows()[r].code == shown.code; });
            if (row == rows.end())
                continue;
            saved.push_back(&species.rows()[*row]);
            rows.erase(row);
        }
    }
    for (size_t row : rows)
        if (row < species.rows().size())
            saved.push_back(&species.rows()[row]);
    return saved;
}

} // namespace tavik
