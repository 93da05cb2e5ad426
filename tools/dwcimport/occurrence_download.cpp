#include "tools/dwcimport/occurrence_download.h"

#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "platform/system_error.h"
#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/compressed_stream.h"
#include "tools/dwcimport/zip_archive.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>

namespace tavik {
namespace {

// meta.xml is read whole; a real one is some 30 KB.
constexpr size_t maxDescriptorBytes = size_t{4} << 20;
// Events read between two progress lines.
constexpr size_t progressEvents = 100000;

std::string folderOf(std::string_view path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? "" : std::string(path.substr(0, slash + 1));
}

std::string_view baseName(std::string_view path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// What a zip made on macOS holds beside the files: a copy of each file's
// attributes under __MACOSX/ or as "._name", and the Finder's .DS_Store.
bool isMacMetadata(std::string_view name)
{
    std::string_view base = baseName(name);
    return name.starts_with("__MACOSX/") || base.starts_with("._") || base == ".DS_Store";
}

// Names a zip may hold next to its data that are not occurrence data.
bool isNotData(std::string_view name)
{
    return endsWith(name, ".xml") || endsWith(name, "rights.txt") || endsWith(name, "citations.txt")
        || endsWith(name, "README.txt") || endsWith(name, "/");
}

std::string layoutWords(const TextLayout& layout)
{
    std::string words = layout.delimiter == '\t' ? "タブ区切り"
        : layout.delimiter == ','                ? "カンマ区切り"
        : layout.delimiter == ';'                ? "セミコロン区切り"
                                  : "\"" + quotedForReportUtf8(std::string(1, layout.delimiter)) + "\" 区切り";
    if (layout.quote)
        words += " (引用符 " + quotedForReportUtf8(std::string(1, layout.quote)) + ")";
    if (layout.lineEnd == '\r')
        words += "、改行は CR";
    return words;
}

std::string trimmedId(std::string_view id)
{
    while (!id.empty() && (id.front() == ' ' || id.front() == '\t'))
        id.remove_prefix(1);
    while (!id.empty() && (id.back() == ' ' || id.back() == '\t'))
        id.remove_suffix(1);
    return std::string(id);
}

// The file of a location in an archive's folder, when it lies inside the
// folder once every link is followed; false with the reason (UTF-8).
bool fileInside(std::string_view folder, const std::string& location, std::string& file, std::string& error)
{
    file = joinPath(folder, utf8ToCp932(location));
    char folderReal[PATH_MAX];
    char fileReal[PATH_MAX];
    if (!::realpath(localPath(folder).c_str(), folderReal)) {
        error = systemErrorText(errno);
        return false;
    }
    if (!::realpath(localPath(file).c_str(), fileReal)) {
        error
            = "meta.xml が名指す " + quotedForReportUtf8(location) + " がありません (" + systemErrorText(errno) + ").";
        return false;
    }
    std::string inside = std::string(folderReal) + "/";
    if (std::string_view(fileReal).substr(0, inside.size()) != inside) {
        error = "meta.xml が名指す " + quotedForReportUtf8(location) + " はフォルダの外にあります: 読みません.";
        return false;
    }
    return true;
}

// Reads at most maxBytes of a file into bytes; false when it is larger or
// cannot be read.
bool readSmallFile(std::string_view path, size_t maxBytes, std::string& bytes, std::string& error)
{
    FileByteSource file;
    if (!file.open(path)) {
        error = file.errorText();
        return false;
    }
    char block[1 << 16];
    for (;;) {
        long count = file.read(block, sizeof block);
        if (count < 0) {
            error = file.errorText();
            return false;
        }
        if (count == 0)
            return true;
        if (bytes.size() + static_cast<size_t>(count) > maxBytes) {
            error = std::to_string(maxBytes >> 20) + " MiB を超えています.";
            return false;
        }
        bytes.append(block, static_cast<size_t>(count));
    }
}

} // namespace

OccurrenceDownload::OccurrenceDownload() = default;
OccurrenceDownload::~OccurrenceDownload() = default;

std::optional<TextEncoding> OccurrenceDownload::statedEncoding(const ArchiveFile* file, std::string& error) const
{
    if (options_.encoding)
        return options_.encoding;
    if (file && !file->encoding.empty()) {
        std::optional<TextEncoding> named = textEncodingOf(file->encoding);
        if (!named)
            error = "meta.xml が名指す文字コード \"" + quotedForReportUtf8(file->encoding)
                + "\" は読めません: --encoding utf-8|cp932|utf-16|latin1 で指定して下さい.";
        return named;
    }
    return options_.settingsEncoding;
}

bool OccurrenceDownload::open(std::string_view path, const Options& options, ToolError& error)
{
    options_ = options;
    dataPath_ = path == "-" ? cp932Literal("(標準入力)") : std::string(path);
    if (path == "-")
        return openText(path, error);
    if (isDirectory(path))
        return openFolder(path, error);
    if (!fileExists(path))
        return error.set(path, cp932Literal("ダウンロードのファイルがありません."));
    struct stat info;
    bool regular = ::stat(localPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
    if (regular && ZipArchive::isZip(path))
        return openZip(path, error);
    return openText(path, error);
}

bool OccurrenceDownload::openText(std::string_view path, ToolError& error)
{
    form_ = Form::TextFile;
    citation_ = DownloadCitation::fromDataFileName(path == "-" ? "" : cp932ToUtf8(path));
    // A plain file is read as it is; anything else (compressed text, a pipe,
    // standard input) through the decompression filters, which read no byte twice.
    std::string head(8, '\0');
    bool regular = false;
    if (path != "-") {
        struct stat info;
        regular = ::stat(localPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
        if (regular) {
            FilePtr file = openFile(path, "rb");
            head.resize(file ? std::fread(head.data(), 1, head.size(), file.get()) : 0);
        }
    }
    if (regular && !CompressedStream::isCompressed(head)) {
        auto file = std::make_unique<FileByteSource>();
        if (!file->open(path))
            return error.set(dataPath_, utf8ToCp932("開けません: " + file->errorText()));
        return startReading(std::move(file), nullptr, error);
    }
    auto stream = std::make_unique<CompressedStream>();
    if (!stream->open(path))
        return error.set(dataPath_, utf8ToCp932(stream->errorText()));
    compression_ = stream->compression();
    return startReading(std::move(stream), nullptr, error);
}

bool OccurrenceDownload::openZip(std::string_view path, ToolError& error)
{
    // First pass: the names of the stored files and meta.xml; the data and
    // the other documents (a GBIF download holds one per dataset it draws
    // on, thousands of them) are passed over unread.
    ZipArchive zip;
    if (!zip.open(path))
        return error.set(path, utf8ToCp932("zip として読めません: " + zip.errorText()));
    std::set<std::string> names;
    std::vector<std::string> descriptors;
    std::vector<std::string> dataFiles;
    std::string descriptorXml;
    std::string name;
    while (zip.nextFile(name)) {
        if (isMacMetadata(name))
            continue;
        names.insert(name);
        if (baseName(name) == "meta.xml") {
            descriptors.push_back(name);
            if (descriptors.size() == 1 && !zip.readWhole(descriptorXml, maxDescriptorBytes))
                return error.set(path, utf8ToCp932(quotedForReportUtf8(name) + ": " + zip.errorText()));
        } else if (!isNotData(name)) {
            dataFiles.push_back(name);
        }
    }
    if (!zip.errorText().empty())
        return error.set(path, utf8ToCp932("壊れた zip です: " + zip.errorText()));
    if (descriptors.size() > 1) {
        std::string list;
        for (const std::string& descriptor : descriptors)
            list += (list.empty() ? "" : ", ") + quotedForReportUtf8(descriptor);
        return error.set(path,
            utf8ToCp932("zip に meta.xml が " + std::to_string(descriptors.size()) + " 個あります (" + list
                + "): どのアーカイブを読むか決められません. アーカイブを一つずつ別の zip にして下さい."));
    }

    // Opens the zip anew at one stored file, as a stream.
    auto storedFile = [&](const std::string& stored) -> std::unique_ptr<ZipArchive> {
        auto at = std::make_unique<ZipArchive>();
        if (!at->open(path)) {
            error.set(path, utf8ToCp932("zip として読めません: " + at->errorText()));
            return nullptr;
        }
        for (std::string found; at->nextFile(found);)
            if (found == stored)
                return at;
        error.set(path,
            utf8ToCp932(at->errorText().empty() ? quotedForReportUtf8(stored) + " がありません."
                                                : "壊れた zip です: " + at->errorText()));
        return nullptr;
    };

    if (descriptors.empty()) {
        if (dataFiles.size() != 1)
            return error.set(path,
                cp932Literal(dataFiles.empty()
                        ? "zip に meta.xml もデータのファイルもありません."
                        : "zip に meta.xml がなく、データのファイルが二つ以上あります: どれがダウンロードか決められま"
                          "せん."));
        form_ = Form::SimpleZip;
        coreName_ = dataFiles.front();
        citation_ = DownloadCitation::fromDataFileName(coreName_);
        dataPath_ = std::string(path) + ":" + utf8ToCp932(quotedForReportUtf8(coreName_, 200)).bytes();
        std::unique_ptr<ZipArchive> data = storedFile(coreName_);
        return data && startReading(std::move(data), nullptr, error);
    }

    const std::string& descriptorName = descriptors.front();
    ArchiveDescriptor descriptor;
    std::string reason;
    if (!ArchiveDescriptor::parse(descriptorXml, descriptor, reason))
        return error.set(std::string(path) + ":" + utf8ToCp932(quotedForReportUtf8(descriptorName, 200)).bytes(),
            utf8ToCp932(reason));
    std::string folder = folderOf(descriptorName);
    form_ = Form::Archive;
    const ArchiveFile& occurrences = descriptor.occurrences();
    coreName_ = folder + occurrences.location;
    for (const std::string& needed : {coreName_, folder + descriptor.core.location})
        if (!names.count(needed))
            return error.set(
                path, utf8ToCp932(quotedForReportUtf8(needed) + " がありません (meta.xml が名指すファイル)."));

    // The metadata document: the one meta.xml names, else the usual names.
    for (const std::string& document :
        {descriptor.metadataLocation, std::string("metadata.xml"), std::string("eml.xml")}) {
        if (document.empty() || !names.count(folder + document))
            continue;
        std::unique_ptr<ZipArchive> eml = storedFile(folder + document);
        if (!eml)
            return false;
        citation_ = DownloadCitation::fromEml(*eml);
        break;
    }

    if (descriptor.occurrenceExtension) {
        eventName_ = folder + descriptor.core.location;
        std::unique_ptr<ZipArchive> events = storedFile(eventName_);
        if (!events
            || !readEvents(std::move(events), descriptor.core,
                std::string(path) + ":" + utf8ToCp932(quotedForReportUtf8(eventName_, 200)).bytes(), error))
            return false;
        eventColumn_ = occurrences.keyColumn;
    }
    dataPath_ = std::string(path) + ":" + utf8ToCp932(quotedForReportUtf8(coreName_, 200)).bytes();
    std::unique_ptr<ZipArchive> data = storedFile(coreName_);
    return data && startReading(std::move(data), &occurrences, error);
}

bool OccurrenceDownload::openFolder(std::string_view path, ToolError& error)
{
    std::string descriptorPath = joinPath(path, "meta.xml");
    if (!isRegularFile(descriptorPath))
        return error.set(
            path, cp932Literal("フォルダに meta.xml がありません: 展開した Darwin Core アーカイブではありません."));
    std::string xml;
    std::string reason;
    if (!readSmallFile(descriptorPath, maxDescriptorBytes, xml, reason))
        return error.set(descriptorPath, utf8ToCp932("読めません: " + reason));
    ArchiveDescriptor descriptor;
    if (!ArchiveDescriptor::parse(xml, descriptor, reason))
        return error.set(descriptorPath, utf8ToCp932(reason));
    form_ = Form::ArchiveFolder;
    const ArchiveFile& occurrences = descriptor.occurrences();
    coreName_ = occurrences.location;
    std::string dataFile;
    if (!fileInside(path, occurrences.location, dataFile, reason))
        return error.set(descriptorPath, utf8ToCp932(reason));

    for (const std::string& document :
        {descriptor.metadataLocation, std::string("metadata.xml"), std::string("eml.xml")}) {
        std::string documentFile;
        if (document.empty() || !fileInside(path, document, documentFile, reason))
            continue;
        FileByteSource eml;
        if (eml.open(documentFile)) {
            citation_ = DownloadCitation::fromEml(eml);
            break;
        }
    }

    if (descriptor.occurrenceExtension) {
        eventName_ = descriptor.core.location;
        std::string eventFile;
        if (!fileInside(path, eventName_, eventFile, reason))
            return error.set(descriptorPath, utf8ToCp932(reason));
        auto events = std::make_unique<FileByteSource>();
        if (!events->open(eventFile))
            return error.set(eventFile, utf8ToCp932("開けません: " + events->errorText()));
        if (!readEvents(std::move(events), descriptor.core, eventFile, error))
            return false;
        eventColumn_ = occurrences.keyColumn;
    }
    dataPath_ = dataFile;
    auto data = std::make_unique<FileByteSource>();
    if (!data->open(dataPath_))
        return error.set(dataPath_, utf8ToCp932("開けません (meta.xml が名指すファイル): " + data->errorText()));
    return startReading(std::move(data), &occurrences, error);
}

bool OccurrenceDownload::readEvents(
    std::unique_ptr<ByteSource> raw, const ArchiveFile& file, const std::string& where, ToolError& error)
{
    survey_ = true;
    eventColumns_ = file.columns;
    std::string reason;
    std::optional<TextEncoding> encoding = statedEncoding(&file, reason);
    if (!reason.empty())
        return error.set(where, utf8ToCp932(reason));
    DecodingSource decoder(*raw, encoding);
    DelimitedReader reader(decoder, file.layout);
    auto fault = [&] {
        return error.set(
            where, cp932Printf("%ld 行目: %s", reader.lineNumber(), utf8ToCp932(reader.errorText()).c_str()));
    };
    size_t expected = 0;
    for (long line = 0; line < file.headerLines; ++line) {
        DelimitedReader::Status status = reader.next();
        if (status == DelimitedReader::Status::Error)
            return fault();
        if (status == DelimitedReader::Status::End)
            break;
        expected = reader.fields().size();
        if (line + 1 == file.headerLines && !file.checkHeader(reader.fields(), reason))
            return error.set(where, utf8ToCp932(reason));
    }
    events_ = std::make_unique<EventIndex>(options_.eventBudgetBytes);
    for (;;) {
        DelimitedReader::Status status = reader.next();
        if (status == DelimitedReader::Status::End)
            break;
        if (status == DelimitedReader::Status::Error)
            return fault();
        const std::vector<std::string_view>& fields = reader.fields();
        if (expected == 0) {
            if (!file.checkFirstRecord(fields, reason))
                return error.set(where, utf8ToCp932(reason));
            expected = fields.size();
        }
        if (fields.size() != expected) {
            ++eventsSkipped_;
            continue;
        }
        switch (events_->add(trimmedId(fields[*file.keyColumn]), file.columns, fields)) {
        case EventIndex::Added::Ok:
            break;
        case EventIndex::Added::IdTooLong:
            return error.set(where,
                cp932Printf("%ld 行目: イベントの id が %zu バイトを超えています.", reader.lineNumber(),
                    EventIndex::maxIdBytes));
        case EventIndex::Added::OverBudget:
            return error.set(where,
                cp932Printf("%ld 行目: イベントが多すぎます. %zu 件で索引が %zu MiB に達しました: イベントを分けた"
                            "アーカイブにして読んで下さい.",
                    reader.lineNumber(), events_->size(), events_->budgetBytes() >> 20));
        }
        if (options_.progress && events_->size() % progressEvents == 0) {
            std::fprintf(options_.progress, "\r  イベント %zu 件を読みました", events_->size());
            std::fflush(options_.progress);
        }
    }
    if (options_.progress && events_->size() >= progressEvents)
        std::fprintf(options_.progress, "\r  イベント %zu 件を読みました\n", events_->size());
    events_->finish();
    return true;
}

bool OccurrenceDownload::startReading(std::unique_ptr<ByteSource> raw, const ArchiveFile* file, ToolError& error)
{
    std::string reason;
    std::optional<TextEncoding> encoding = statedEncoding(file, reason);
    if (!reason.empty())
        return error.set(dataPath_, utf8ToCp932(reason));
    raw_ = std::move(raw);
    decoder_ = std::make_unique<DecodingSource>(*raw_, encoding);
    reader_ = std::make_unique<DelimitedReader>(*decoder_, file ? file->layout : TextLayout{});
    auto fault = [&] {
        return error.set(
            dataPath_, cp932Printf("%ld 行目: %s", reader_->lineNumber(), utf8ToCp932(reader_->errorText()).c_str()));
    };
    if (!file) {
        DelimitedReader::Status status = reader_->next();
        if (status == DelimitedReader::Status::Error)
            return fault();
        if (status == DelimitedReader::Status::End)
            return error.set(dataPath_, cp932Literal("空のファイルです: 項目の名前を並べた見出しの行がありません."));
        columns_ = TermColumns::fromHeader(reader_->fields());
        expectedFields_ = reader_->fields().size();
    } else {
        columns_ = file->columns;
        for (long line = 0; line < file->headerLines; ++line) {
            DelimitedReader::Status status = reader_->next();
            if (status == DelimitedReader::Status::Error)
                return fault();
            if (status == DelimitedReader::Status::End)
                break;
            expectedFields_ = reader_->fields().size();
            if (line + 1 == file->headerLines && !file->checkHeader(reader_->fields(), reason))
                return error.set(dataPath_, utf8ToCp932(reason));
        }
        if (expectedFields_ == 0) {
            // Without a header line the first record shows how many fields a record has.
            DelimitedReader::Status status = reader_->next();
            if (status == DelimitedReader::Status::Error)
                return fault();
            if (status == DelimitedReader::Status::Record) {
                if (!file->checkFirstRecord(reader_->fields(), reason))
                    return error.set(dataPath_, utf8ToCp932(reason));
                expectedFields_ = reader_->fields().size();
                held_ = true;
            }
        }
    }

    const char* where = file ? "meta.xml " : "見出しの行";
    auto has = [&](OccurrenceTerm term) {
        if (columns_.has(term))
            return true;
        // An occurrence of a sampling-event dataset may take it from its event.
        if (!survey_ || !eventColumns_.has(term))
            return false;
        for (OccurrenceTerm inherited : EventIndex::inheritedTerms)
            if (inherited == term)
                return true;
        return false;
    };
    bool named = has(OccurrenceTerm::Species) || has(OccurrenceTerm::ScientificName)
        || (has(OccurrenceTerm::Genus) && has(OccurrenceTerm::SpecificEpithet));
    if (!named)
        return error.set(dataPath_,
            cp932Printf("%sに種の列 (species か scientificName) がありません: 出現記録のファイルではないようです.",
                cp932Literal(where).c_str()));
    bool coordinates = has(OccurrenceTerm::DecimalLatitude) && has(OccurrenceTerm::DecimalLongitude);
    if (!coordinates && !has(OccurrenceTerm::StateProvince) && !has(OccurrenceTerm::County))
        return error.set(dataPath_,
            cp932Printf("%sに場所の列 (decimalLatitude と decimalLongitude、stateProvince か county) がありません.",
                cp932Literal(where).c_str()));
    return true;
}

DelimitedReader::Status OccurrenceDownload::next()
{
    DelimitedReader::Status status = DelimitedReader::Status::Record;
    if (held_)
        held_ = false;
    else
        status = reader_->next();
    if (status == DelimitedReader::Status::Record && events_) {
        const std::vector<std::string_view>& record = reader_->fields();
        eventFound_ = eventColumn_ && *eventColumn_ < record.size()
            && events_->find(trimmedId(record[*eventColumn_]), eventValues_);
        if (!eventFound_)
            ++withoutEvent_;
    }
    return status;
}

std::string OccurrenceDownload::description() const
{
    std::string text = layoutWords(reader_->layout()) + "、" + std::string(textEncodingName(decoder_->encoding()));
    if (decoder_->hadByteOrderMark())
        text += " (BOM 付き)";
    if (!compression_.empty())
        text += "、" + compression_ + " 圧縮";
    std::string events;
    if (survey_)
        events = "、イベントのコアは " + quotedForReportUtf8(eventName_) + " (" + std::to_string(eventCount())
            + " 件)、出現記録は拡張の " + quotedForReportUtf8(coreName_);
    switch (form_) {
    case Form::Archive:
        return "Darwin Core アーカイブ" + (survey_ ? events : "、コアは " + quotedForReportUtf8(coreName_)) + "、"
            + text;
    case Form::ArchiveFolder:
        return "展開した Darwin Core アーカイブ" + (survey_ ? events : "、コアは " + quotedForReportUtf8(coreName_))
            + "、" + text;
    case Form::SimpleZip:
        return quotedForReportUtf8(coreName_) + " の zip、見出しの行のある" + text;
    case Form::TextFile:
        break;
    }
    return "見出しの行のあるテキスト、" + text;
}

} // namespace tavik
