#pragma once

#include "tools/dwcimport/archive_descriptor.h"
#include "tools/dwcimport/decoding_source.h"
#include "tools/dwcimport/delimited_reader.h"
#include "tools/dwcimport/download_citation.h"
#include "tools/dwcimport/event_index.h"
#include "tools/dwcimport/term_columns.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class ByteSource;
struct ToolError;

// An occurrence download opened for reading, in any of the forms users get:
// a Darwin Core Archive (a zip, or the folder it unpacks to, holding meta.xml,
// the core file it describes and a metadata document), with an Occurrence
// core or with an Event core and an Occurrence extension (a sampling-event
// dataset); GBIF's simple download (a zip holding one tab-separated file
// with a header row of term names, or that file itself); or any text file
// with a header row of term names (tab-, comma- or semicolon-separated),
// compressed or not (gzip, bzip2, xz), from a file, a pipe or standard input
// ("-"). Zips made on macOS hold copies of each file's attributes
// (__MACOSX/, "._name"): they are passed over. Records are read one at a
// time from the stream, whatever the size of the download; only the events
// of a sampling-event dataset are held, in an EventIndex.
class OccurrenceDownload {
public:
    enum class Form { Archive, ArchiveFolder, SimpleZip, TextFile };

    // How to read the text: the encoding --encoding names (it wins over
    // meta.xml's, which wins over Encoding= of tavik.ini); where progress
    // lines go while events are read (null: nowhere).
    struct Options {
        std::optional<TextEncoding> encoding;
        std::optional<TextEncoding> settingsEncoding;
        std::FILE* progress = nullptr;
        size_t eventBudgetBytes = EventIndex::defaultBudgetBytes;
    };

    OccurrenceDownload();
    ~OccurrenceDownload();
    OccurrenceDownload(const OccurrenceDownload&) = delete;
    OccurrenceDownload& operator=(const OccurrenceDownload&) = delete;

    // Opens a download at a cp932 path ("-": standard input) and reads up to
    // its first record (for a sampling-event dataset, its events first).
    // False with the file at fault and the reason in `error`.
    bool open(std::string_view path, const Options& options, ToolError& error);

    // Reads the next record (see DelimitedReader::next).
    DelimitedReader::Status next();
    const std::vector<std::string_view>& fields() const { return reader_->fields(); }
    long lineNumber() const { return reader_->lineNumber(); }
    const std::string& errorText() const { return reader_->errorText(); }

    const TermColumns& columns() const { return columns_; }
    // The number of fields each record has: the header's (or the first
    // record's, in a file without one). A record with more or fewer has its
    // columns shifted.
    size_t expectedFields() const { return expectedFields_; }
    // The values of the current record's event, in a sampling-event dataset;
    // null when the record names no event the core holds, or in other downloads.
    const EventValues* event() const { return eventFound_ ? &eventValues_ : nullptr; }

    const DownloadCitation& citation() const { return citation_; }
    Form form() const { return form_; }

    // The data file as messages name it (cp932): the path, and for a zip the
    // file inside it ("download.zip:occurrence.txt").
    const std::string& dataPath() const { return dataPath_; }

    // The form, layout and encoding in words (UTF-8), for the summary
    // ("Darwin Core アーカイブ、コアは occurrence.txt、タブ区切り、UTF-8").
    std::string description() const;

    // Sampling-event datasets: the events read, those whose id an earlier
    // one had, the event rows skipped for a wrong count of fields, and the
    // records that named no event of the core.
    bool isSurvey() const { return survey_; }
    size_t eventCount() const { return events_ ? events_->size() : 0; }
    long eventDuplicates() const { return events_ ? events_->duplicates() : 0; }
    long eventsSkipped() const { return eventsSkipped_; }
    long recordsWithoutEvent() const { return withoutEvent_; }

private:
    bool openText(std::string_view path, ToolError& error);
    bool openZip(std::string_view path, ToolError& error);
    bool openFolder(std::string_view path, ToolError& error);
    bool readEvents(
        std::unique_ptr<ByteSource> raw, const ArchiveFile& file, const std::string& where, ToolError& error);
    bool startReading(std::unique_ptr<ByteSource> raw, const ArchiveFile* file, ToolError& error);
    std::optional<TextEncoding> statedEncoding(const ArchiveFile* file, std::string& error) const;

    Options options_;
    Form form_ = Form::TextFile;
    std::string coreName_; // UTF-8 name of the data file inside the zip or folder
    std::string eventName_; // UTF-8 name of the event file of a sampling-event dataset
    std::string compression_; // the compression undone, in words
    std::unique_ptr<ByteSource> raw_;
    std::unique_ptr<DecodingSource> decoder_;
    std::unique_ptr<DelimitedReader> reader_;
    TermColumns columns_;
    size_t expectedFields_ = 0;
    bool held_ = false; // the first record was read to check it, and is handed out next
    DownloadCitation citation_;
    std::string dataPath_;
    bool survey_ = false;
    std::optional<size_t> eventColumn_; // the occurrences' column naming their event
    TermColumns eventColumns_; // where the event core gives each term
    std::unique_ptr<EventIndex> events_;
    EventValues eventValues_{};
    bool eventFound_ = false;
    long eventsSkipped_ = 0;
    long withoutEvent_ = 0;
};

} // namespace tavik
