#pragma once

#include "tools/dwcimport/delimited_reader.h"
#include "tools/dwcimport/download_citation.h"
#include "tools/dwcimport/term_columns.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class ByteSource;
struct ToolError;

// An occurrence download opened for reading, in any of the forms users get:
// a Darwin Core Archive (a zip, or the folder it unpacks to, holding meta.xml,
// the occurrence core file it describes and a metadata document), GBIF's
// simple download (a zip holding one tab-separated file with a header row of
// term names, or that file itself), or any text file with a header row of
// term names (tab- or comma-separated). Records are read one at a time from
// the stream, whatever the size of the download.
class OccurrenceDownload {
public:
    enum class Form { Archive, ArchiveFolder, SimpleZip, TextFile };

    OccurrenceDownload();
    ~OccurrenceDownload();
    OccurrenceDownload(const OccurrenceDownload&) = delete;
    OccurrenceDownload& operator=(const OccurrenceDownload&) = delete;

    // Opens a download at a cp932 path and reads up to its first record.
    // False with the file at fault and the reason in `error`.
    bool open(std::string_view path, ToolError& error);

    // Reads the next record (see DelimitedReader::next).
    DelimitedReader::Status next();
    const std::vector<std::string_view>& fields() const { return reader_->fields(); }
    long lineNumber() const { return reader_->lineNumber(); }
    const std::string& errorText() const { return reader_->errorText(); }

    const TermColumns& columns() const { return columns_; }
    const DownloadCitation& citation() const { return citation_; }
    Form form() const { return form_; }

    // The data file as messages name it (cp932): the path, and for a zip the
    // file inside it ("download.zip:occurrence.txt").
    const std::string& dataPath() const { return dataPath_; }

    // The form and layout in words, for the summary ("Darwin Core Archive,
    // core occurrence.txt, tab-separated").
    std::string description() const;

private:
    bool openZip(std::string_view path, ToolError& error);
    bool openFolder(std::string_view path, ToolError& error);
    bool startReading(
        std::unique_ptr<ByteSource> source, TextLayout layout, long headerLines, bool headerRow, ToolError& error);

    Form form_ = Form::TextFile;
    std::string coreName_; // UTF-8 name of the data file inside the zip or folder
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<DelimitedReader> reader_;
    TermColumns columns_;
    DownloadCitation citation_;
    std::string dataPath_;
};

} // namespace tavik
