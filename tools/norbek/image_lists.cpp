#include "tools/norbek/image_lists.h"

#include "common/csv_reader.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "tools/norbek/norbek_tables.h"

#include <algorithm>

namespace tavik {
namespace {

constexpr size_t imagePathBytes = 255;

std::string withBlanksAs(std::string_view name, char replacement)
{
    std::string replaced(name);
    std::replace(replaced.begin(), replaced.end(), ' ', replacement);
    return replaced;
}

// True when `name` occurs in `path` starting on a character boundary, so that
// the second byte of one character and the first of the next never match.
bool occursIn(std::string_view path, const std::vector<bool>& characterStarts, std::string_view name)
{
    for (size_t at = path.find(name); at != std::string_view::npos; at = path.find(name, at + 1))
        if (characterStarts[at])
            return true;
    return false;
}

} // namespace

void ImageLists::index(const std::vector<SpeciesRecord>& species)
{
    images_.assign(species.size(), {});
    for (int kind = 0; kind < 3; ++kind) {
        std::vector<Name>& names = names_[kind];
        names.clear();
        for (size_t i = 0; i < species.size(); ++i) {
            const std::string& name = speciesName(species[i], static_cast<NameForm>(kind));
            if (name.empty())
                continue;
            bool blank = name.find(' ') != std::string::npos;
            names.push_back({name, blank ? withBlanksAs(name, '_') : "", blank ? withBlanksAs(name, '-') : "",
                static_cast<int>(i)});
        }
        // Species are in code order already: a stable sort keeps it among
        // names of one length.
        std::stable_sort(
            names.begin(), names.end(), [](const Name& a, const Name& b) { return a.name.size() > b.name.size(); });
    }
}

int ImageLists::matchKind(std::string_view path, const std::vector<bool>& characterStarts, NameForm kind) const
{
    for (const Name& name : names_[static_cast<int>(kind)]) {
        if (name.name.size() > path.size())
            continue;
        if (occursIn(path, characterStarts, name.name)
            || (!name.underscored.empty() && occursIn(path, characterStarts, name.underscored))
            || (!name.hyphenated.empty() && occursIn(path, characterStarts, name.hyphenated)))
            return name.species;
    }
    return -1;
}

int ImageLists::match(std::string_view path, NameForm& kind) const
{
    std::vector<bool> characterStarts(path.size(), false);
    for (size_t i = 0; i < path.size(); ++i) {
        characterStarts[i] = true;
        if (isToolLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
    }
    // The current kind first, then the other two in the order scientific,
    // alias 1, alias 2.
    NameForm order[3] = {kind};
    int n = 1;
    for (NameForm other : {NameForm::Standard, NameForm::Alias1, NameForm::Alias2})
        if (other != kind)
            order[n++] = other;
    for (NameForm tried : order) {
        kind = tried;
        int species = matchKind(path, characterStarts, tried);
        if (species >= 0)
            return species;
    }
    return -1;
}

bool ImageLists::load(const std::array<std::string, NorbekSettings::imageSources>& lists,
    std::string_view outputDirectory, const std::vector<SpeciesRecord>& species, ToolError& error)
{
    index(species);
    NameForm kind = NameForm::Standard;
    for (size_t n = 0; n < lists.size(); ++n) {
        if (lists[n].empty())
            continue;
        std::string path = std::string(outputDirectory) + lists[n];
        CsvReader reader;
        if (!reader.open(path))
            return error.set(path,
                norbekOpenMessage(
                    reader.openResult(), "イメージリストが見つかりません.", "イメージリストが読めませんでした."));
        for (;;) {
            CsvStatus status = reader.nextLine();
            if (status == CsvStatus::EndOfFile)
                break;
            if (status != CsvStatus::Ok)
                return error.set(path, norbekSyntaxMessage(status, reader.lineNumber(), reader.errorText()));
            std::string image(cutAndTrimmed(reader.field(0), imagePathBytes));
            if (image.empty())
                continue;
            int owner = match(image, kind);
            if (owner >= 0)
                images_[owner].push_back({std::move(image), static_cast<int>(n) + 1});
        }
    }
    return true;
}

const std::vector<SpeciesImage>& ImageLists::images(size_t species) const
{
    static const std::vector<SpeciesImage> none;
    return species < images_.size() ? images_[species] : none;
}

} // namespace tavik
