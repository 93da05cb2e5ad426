#include "viewer/render/map_saver.h"

#include "imagefiles/palette.h"
#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/basemap/pixel_rows.h"
#include "viewer/render/file_name_wildcards.h"
#include "viewer/render/page_renderer.h"
#include "viewer/settings/species_table.h"

#include <QImage>

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <thread>

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
    const std::string local = localPath(path).utf8();
    size_t slash = local.rfind('/');
    size_t nameLength = slash == std::string::npos ? local.size() : local.size() - slash - 1;
    return !local.empty() && local.size() <= kPathMax && nameLength <= kNameMax;
}

// The message of a map file that could not be written, with the reason
// (Japanese, UTF-8) when one is known.
Cp932Text writeFailure(const std::string& path, const std::string& reason)
{
    if (isWriteProtected(path))
        return cp932Printf("%s は書き込み保護されてます。", path.c_str());
    Cp932Text text = cp932Printf("%s に書き込みできませんでした。", path.c_str());
    if (!reason.empty())
        text += utf8ToCp932("\n" + reason);
    return text;
}

// Writes a map to `file` in the format that `finalPath`'s extension chooses.
bool writeMap(const QImage& map, std::FILE* file, int depth, const std::string& title, const std::string& finalPath)
{
    // The writers take the rendered rows as they are where they can, which
    // spares a copy of the whole map.
    QImage rows = pixelRows(map).data ? map : map.convertToFormat(QImage::Format_BGR888);
    ImageWriteStatus status = writesPng(finalPath) ? writePng(file, title, pixelRows(rows), depth, standardPalette())
                                                   : writeBmp(file, pixelRows(rows), depth, standardPalette());
    return status == ImageWriteStatus::Ok;
}

} // namespace

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

Cp932Text checkSaveJob(const SaveJob& job)
{
    if (splitPath(job.path).name.empty() && splitPath(job.path).extension.empty())
        return cp932Printf("%s\nファイル名が空です。", job.path.c_str());
    if (!job.overlay && job.species.size() > 1 && !hasFileNameWildcard(job.path))
        return cp932Literal("複数種を指定するときは、ワイルドカードを使ってファイル名の区別が付くようにして下さい。");
    return {};
}

namespace {

// One map of a batch as a worker leaves it for the committing thread.
struct MapSlot {
    enum class State { Waiting, Ready, Faulty, Failed };
    State state = State::Waiting;
    std::string path; // the file's name after wildcard expansion (cp932)
    std::unique_ptr<FileReplacement> file; // the temporary file the worker wrote it to, renamed into place in order
    std::string text; // progress text
    Cp932Text failure; // message of a failure
    MessageLog messages; // what rendering reported
};

class BatchSaver {
public:
    BatchSaver(const SaveJob& job, const RenderSources& sources, double markScale, SaveProgress& progress,
        const std::atomic<bool>& stop)
        : job_(job)
        , renderer_(sources)
        , scale_(markScale)
        , progress_(progress)
        , stop_(stop)
        , count_(job.overlay ? 1 : job.species.size())
        , slots_(count_)
    {
    }

    SaveResult run(MessageSink& messages, unsigned threads)
    {
        window_ = threads;
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < std::min<size_t>(threads, count_); ++t)
            workers.emplace_back([this] { work(); });
        SaveResult result = commitInOrder(messages);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ended_ = true;
            changed_.notify_all();
        }
        for (std::thread& worker : workers)
            worker.join();
        // Maps finished but not renamed into place leave no file behind.
        for (MapSlot& slot : slots_)
            slot.file.reset();
        return result;
    }

private:
    // Takes the next map while no stop is asked and the batch goes on.
    void work()
    {
        for (;;) {
            size_t i;
            {
                // Workers keep at most one map each ahead of the files
                // committed, so a stop leaves no more than that to finish.
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return ended_ || next_ < committed_ + window_; });
                if (ended_ || stop_.load() || next_ >= count_)
                    return;
                i = next_++;
            }
            MapSlot slot = saveOne(i);
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[i] = std::move(slot);
            changed_.notify_all();
        }
    }

    // "(3/32)  Papilio xuthus.png": the map's place in the batch and its
    // file's name (an overlay's one map only its place).
    std::string progressText(size_t i) const
    {
        std::string text = cp932Printf("(%d/%d)  ", static_cast<int>(i + 1), static_cast<int>(count_));
        if (!job_.overlay) {
            const PathParts parts = splitPath(expandFileNameWildcards(job_.path, *job_.species[i]));
            text += parts.name + parts.extension;
        }
        return text;
    }

    MapSlot saveOne(size_t i)
    {
        MapSlot slot;
        const SpeciesRecord& species = *job_.species[i];
        slot.path = expandFileNameWildcards(job_.path, species);
        slot.text = progressText(i);
        if (!fitsFileSystem(slot.path)) {
            slot.state = MapSlot::State::Failed;
            slot.failure = cp932Printf("%s\nファイル名が長すぎます。", slot.path.c_str());
            return slot;
        }
        std::vector<std::int64_t> codes;
        if (job_.overlay) {
            for (size_t k = 0; k < job_.species.size() && k < 10; ++k)
                codes.push_back(job_.species[k]->code);
        } else {
            codes.push_back(species.code);
        }
        QImage map = renderer_.render(codes, scale_, slot.messages);
        if (map.isNull()) {
            // The renderer has said why (memory ran out).
            slot.state = MapSlot::State::Failed;
            return slot;
        }
        // The renderer reports only faulty lines of the distribution table:
        // the map lacks records it should show.
        if (!slot.messages.messages.empty()) {
            slot.state = MapSlot::State::Faulty;
            return slot;
        }
        // Written to a new temporary file beside its final name (created
        // exclusively: a link planted in a shared folder is never followed),
        // renamed into place in job order.
        // A link at the map's name is refused rather than followed: output
        // folders are often shared, and the link could lead anywhere.
        slot.file
            = std::make_unique<FileReplacement>(slot.path, FileReplacement::Sync::None, FileReplacement::Links::Refuse);
        if (!slot.file->open() || !writeMap(map, slot.file->stream(), job_.depth, species.scientificName, slot.path)) {
            slot.state = MapSlot::State::Failed;
            slot.failure = writeFailure(slot.path, slot.file->errorText());
            slot.file.reset();
            return slot;
        }
        slot.state = MapSlot::State::Ready;
        return slot;
    }

    SaveResult commitInOrder(MessageSink& messages)
    {
        bool incomplete = false;
        for (size_t i = 0; i < count_; ++i) {
            // The progress names the map being made now: the next whose
            // file goes in place (the workers may be ahead of it).
            progress_.percent.store(static_cast<int>(100 * i / count_));
            progress_.setText(progressText(i));
            MapSlot slot;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                // The stop flag is set from outside without a notification:
                // look at it now and then. After a stop no file is put in
                // place: maps finished ahead of it are dropped.
                while (!changed_.wait_for(lock, std::chrono::milliseconds(50),
                    [&] { return slots_[i].state != MapSlot::State::Waiting || stop_.load(); })) { }
                if (stop_.load())
                    return SaveResult::Stopped;
                slot = std::move(slots_[i]);
                slots_[i] = MapSlot();
            }
            if (progress_.onMap)
                progress_.onMap(slot.text);
            for (const Message& message : slot.messages.messages)
                messages.show(message);
            // A write-protected file is not replaced (the replacement checks).
            if (slot.state == MapSlot::State::Ready && !slot.file->commit()) {
                slot.state = MapSlot::State::Failed;
                slot.failure = writeFailure(slot.path, slot.file->errorText());
            }
            // A killed run left its temporary file of this map beside it (two
            // runs that write the same map at once would overwrite each
            // other's map anyway, so no lock guards this).
            if (slot.state == MapSlot::State::Ready)
                removeLeftoverTemporaries(slot.path);
            if (slot.state == MapSlot::State::Failed) {
                if (!slot.failure.empty())
                    messages.stop(slot.failure);
                return SaveResult::Failed;
            }
            incomplete = incomplete || slot.state == MapSlot::State::Faulty;
            std::lock_guard<std::mutex> lock(mutex_);
            committed_ = i + 1;
            changed_.notify_all();
        }
        progress_.percent.store(100);
        return incomplete ? SaveResult::Incomplete : SaveResult::Done;
    }

    const SaveJob& job_;
    PageRenderer renderer_;
    double scale_;
    SaveProgress& progress_;
    const std::atomic<bool>& stop_;
    const size_t count_;
    std::vector<MapSlot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t next_ = 0; // next map a worker takes
    size_t committed_ = 0; // maps whose files are in place
    size_t window_ = 1; // maps that may be in work beyond those
    bool ended_ = false;
};

} // namespace

SaveResult saveMaps(const SaveJob& job, const RenderSources& sources, double markScale, SaveProgress& progress,
    const std::atomic<bool>& stop, MessageSink& messages, unsigned threads)
{
    if (job.species.empty())
        return SaveResult::Done;
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    BatchSaver saver(job, sources, markScale, progress, stop);
    return saver.run(messages, threads);
}

} // namespace tavik
