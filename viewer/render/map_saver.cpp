#include "viewer/render/map_saver.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/basemap/image_files.h"
#include "viewer/basemap/palette.h"
#include "viewer/render/file_name_wildcards.h"
#include "viewer/render/page_renderer.h"
#include "viewer/settings/species_table.h"

#include <QImage>

#include <unistd.h>

namespace tavik {
namespace {

bool writesPng(const std::string& path)
{
    std::string extension = splitPath(path).extension;
    return extension.find("png") != std::string::npos || extension.find("PNG") != std::string::npos;
}

// Longest name of one file, and of a whole path, that Linux takes (bytes).
constexpr size_t kNameMax = 255;
constexpr size_t kPathMax = 4095;

bool fitsFileSystem(const std::string& path)
{
    std::string local = localPath(path);
    size_t slash = local.rfind('/');
    size_t nameLength = slash == std::string::npos ? local.size() : local.size() - slash - 1;
    return !local.empty() && local.size() <= kPathMax && nameLength <= kNameMax;
}

std::string writeFailure(const std::string& path)
{
    std::string local = localPath(path);
    bool readOnly = !local.empty() && ::access(local.c_str(), F_OK) == 0 && ::access(local.c_str(), W_OK) != 0;
    return readOnly ? cp932Printf("%s は書き込み保護されてます。", path.c_str())
                    : cp932Printf("%s に書き込みできませんでした。", path.c_str());
}

bool writeMap(const QImage& map, const std::string& path, int depth, const std::string& title)
{
    QImage rows = map.convertToFormat(QImage::Format_BGR888);
    ImageWriteStatus status = writesPng(path)
        ? writePng(path, title, pixelRows(rows), depth, standardPalette())
        : writeBmp(path, pixelRows(rows), depth, standardPalette());
    return status == ImageWriteStatus::Ok;
}

}  // namespace

void SaveProgress::setText(std::string text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    text_ = std::move(text);
}

std::string SaveProgress::text() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

std::string checkSaveJob(const SaveJob& job)
{
    if (!job.overlay && job.species.size() > 1 && !hasFileNameWildcard(job.path))
        return sj("複数種を指定するときは、ワイルドカードを使ってファイル名の区別が付くようにして下さい。");
    return {};
}

SaveResult saveMaps(const SaveJob& job, const RenderSources& sources, double markScale, SaveProgress& progress,
    MessageSink& messages)
{
    if (job.species.empty())
        return SaveResult::Done;
    const size_t count = job.overlay ? 1 : job.species.size();
    PageRenderer renderer(sources);
    for (size_t i = 0; i < count; ++i) {
        if (progress.stop.load())
            return SaveResult::Stopped;
        progress.percent.store(static_cast<int>(100 * i / count));
        const SpeciesRecord& species = *job.species[i];
        std::string path = expandFileNameWildcards(job.path, species);
        std::string text = cp932Printf("(%d/%d)  ", static_cast<int>(i + 1), static_cast<int>(count));
        if (!job.overlay)
            text += splitPath(path).name + splitPath(path).extension;
        progress.setText(text);
        if (progress.onMap)
            progress.onMap(text);

        if (!fitsFileSystem(path)) {
            messages.stop("", cp932Printf("%s\nファイル名が長すぎます。", path.c_str()));
            return SaveResult::Failed;
        }
        std::vector<std::int64_t> codes;
        if (job.overlay) {
            for (size_t k = 0; k < job.species.size() && k < 10; ++k)
                codes.push_back(job.species[k]->code);
        } else {
            codes.push_back(species.code);
        }
        QImage map = renderer.render(codes, markScale, messages);
        if (map.isNull()) {
            messages.stop("", sj("メモリが足りません"));
            return SaveResult::Failed;
        }
        if (!writeMap(map, path, job.depth, species.scientificName)) {
            messages.stop("", writeFailure(path));
            return SaveResult::Failed;
        }
    }
    progress.percent.store(100);
    return SaveResult::Done;
}

}  // namespace tavik
