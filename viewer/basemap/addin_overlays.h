#pragma once

#include "platform/cp932_text.h"
#include "viewer/basemap/addin_record.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The add-in overlays: vector drawings in geographic coordinates laid over
// every map, read from the add-in files that the list file of the AddinMap
// setting names.
//
// load() runs on a worker thread while a wait dialog polls statusText() and
// finished() and may call requestStop(); those three are safe to call from
// any thread. records() and errors() may be read once finished() is true.
class AddinOverlays {
public:
    static constexpr size_t kRecordLimit = 999999; // records over all files
    static constexpr size_t kGrowthStep = 50000; // records the array grows by
    static constexpr size_t kMaxErrors = 10; // messages kept of one load

    explicit AddinOverlays(size_t recordLimit = kRecordLimit);
    AddinOverlays(const AddinOverlays&) = delete;
    AddinOverlays& operator=(const AddinOverlays&) = delete;

    // Reads the list file `addinMap` (cp932; a relative path is taken from
    // startupDirectory) and every add-in file it names, appending their
    // records. Runs once: later calls, and a call with an empty addinMap, do
    // nothing and succeed. False when any error was collected (errorText()
    // holds them); the records read so far are kept either way.
    bool load(std::string_view addinMap, std::string_view startupDirectory);

    // Asks a running load to stop before its next line.
    void requestStop() { stopRequested_.store(true); }

    // True once a load has ended (or when there was nothing to load).
    bool finished() const { return finished_.load(std::memory_order_acquire); }

    // The add-in file being read, or "完了" (cp932) once the list is done.
    std::string statusText() const;

    const std::vector<AddinRecord>& records() const { return records_; }

    // The errors of the load, at most kMaxErrors.
    const std::vector<Cp932Text>& errors() const { return errors_; }

    // The errors joined with "\r\n", as the message box shows them.
    Cp932Text errorText() const;

    // Releases the records.
    void clear();

    // Takes what another load read (its records, errors and status) once it
    // has ended, as if this one had loaded them.
    void takeLoaded(AddinOverlays& loaded);

private:
    enum class FileResult { Done, EndLoad };

    void readList(const std::string& listPath);
    FileResult readFile(const std::string& path);
    bool appendRecord(const AddinRecord& record);
    void addError(Cp932Text message);
    void setStatus(std::string text);

    size_t recordLimit_;
    bool attempted_ = false;
    std::vector<AddinRecord> records_;
    std::vector<Cp932Text> errors_;
    std::atomic<bool> stopRequested_ = false;
    std::atomic<bool> finished_ = false;
    mutable std::mutex statusMutex_;
    std::string status_;
};

} // namespace tavik
