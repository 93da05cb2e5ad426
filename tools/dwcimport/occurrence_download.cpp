#include "tools/dwcimport/occurrence_download.h"

#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "tools/dwcimport/archive_descriptor.h"
#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/zip_archive.h"

#include <map>

namespace tavik {
namespace {

// meta.xml and metadata documents are read whole; none is near this size.
constexpr size_t maxDocumentBytes = size_t{16} << 20;

std::string folderOf(std::string_view path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? "" : std::string(path.substr(0, slash + 1));
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool isDocument(std::string_view name) { return endsWith(name, ".xml"); }

// Names a zip may hold next to its data that are not occurrence data.
bool isNotData(std::string_view name)
{
    return isDocument(name) || endsWith(name, "rights.txt") || endsWith(name, "citations.txt")
        || endsWith(name, "README.txt") || endsWith(name, "/");
}

// The metadata document of an archive: the one meta.xml names, else the
// usual names.
std::string metadataDocument(
    const std::map<std::string, std::string>& documents, const std::string& folder, const std::string& named)
{
    for (const std::string& name : {named, std::string("metadata.xml"), std::string("eml.xml")}) {
        if (name.empty())
            continue;
        auto found = documents.find(folder + name);
        if (found != documents.end())
            return found->second;
    }
    return "";
}

std::string layoutWords(const TextLayout& layout)
{
    if (layout.delimiter == '\t')
        return "tab-separated";
    if (layout.delimiter == ',')
        return layout.quote ? "comma-separated, quoted with " + std::string(1, layout.quote) : "comma-separated";
    return std::string("fields separated by \"") + layout.delimiter + "\"";
}

} // namespace

OccurrenceDownload::OccurrenceDownload() = default;
OccurrenceDownload::~OccurrenceDownload() = default;

bool OccurrenceDownload::open(std::string_view path, ToolError& error)
{
    dataPath_ = std::string(path);
    if (isDirectory(path))
        return openFolder(path, error);
    if (!fileExists(path))
        return error.set(path, "the download is not there");
    if (ZipArchive::isZip(path))
        return openZip(path, error);
    form_ = Form::TextFile;
    auto file = std::make_unique<FileByteSource>();
    if (!file->open(path))
        return error.set(path, "cannot be opened: " + file->errorText());
    citation_ = DownloadCitation::fromDataFileName(cp932ToUtf8(path));
    return startReading(std::move(file), TextLayout{}, 0, true, error);
}

bool OccurrenceDownload::openZip(std::string_view path, ToolError& error)
{
    // First pass: the names of the stored files and the documents at the top
    // (meta.xml, the metadata); the data are passed over.
    ZipArchive zip;
    if (!zip.open(path))
        return error.set(path, "cannot be read as a zip: " + zip.errorText());
    std::map<std::string, std::string> documents;
    std::vector<std::string> dataFiles;
    std::string descriptorName;
    std::string name;
    while (zip.nextFile(name)) {
        if (isDocument(name) && name.find('/') == name.find_last_of('/')) {
            std::string bytes;
            if (!zip.readWhole(bytes, maxDocumentBytes))
                return error.set(path, utf8ToCp932(name + ": " + zip.errorText()));
            if (name == "meta.xml" || endsWith(name, "/meta.xml"))
                descriptorName = name;
            documents.emplace(name, std::move(bytes));
        } else if (!isNotData(name)) {
            dataFiles.push_back(name);
        }
    }
    if (!zip.errorText().empty())
        return error.set(path, "damaged zip: " + zip.errorText());

    TextLayout layout;
    long headerLines = 0;
    bool headerRow = true;
    if (!descriptorName.empty()) {
        ArchiveDescriptor descriptor;
        std::string reason;
        if (!ArchiveDescriptor::parse(documents[descriptorName], descriptor, reason))
            return error.set(path, utf8ToCp932(descriptorName + ": " + reason));
        std::string folder = folderOf(descriptorName);
        form_ = Form::Archive;
        coreName_ = folder + descriptor.coreLocation;
        layout = descriptor.layout;
        headerLines = descriptor.headerLines;
        headerRow = false;
        columns_ = descriptor.columns;
        citation_ = DownloadCitation::fromEml(metadataDocument(documents, folder, descriptor.metadataLocation));
    } else if (dataFiles.size() == 1) {
        form_ = Form::SimpleZip;
        coreName_ = dataFiles.front();
        citation_ = DownloadCitation::fromDataFileName(coreName_);
    } else {
        return error.set(path,
            dataFiles.empty() ? "the zip holds neither meta.xml nor a data file"
                              : "the zip holds no meta.xml and more than one data file: which one is the download?");
    }
    dataPath_ = std::string(path) + ":" + utf8ToCp932(coreName_);

    // Second pass: the data file, read as a stream.
    auto data = std::make_unique<ZipArchive>();
    if (!data->open(path))
        return error.set(path, "cannot be read as a zip: " + data->errorText());
    bool found = false;
    while (!found && data->nextFile(name))
        found = name == coreName_;
    if (!found)
        return error.set(path,
            utf8ToCp932(data->errorText().empty()
                    ? "the zip does not hold " + coreName_ + ", the core file meta.xml names"
                    : "damaged zip: " + data->errorText()));
    return startReading(std::move(data), layout, headerLines, headerRow, error);
}

bool OccurrenceDownload::openFolder(std::string_view path, ToolError& error)
{
    std::string descriptorPath = joinPath(path, "meta.xml");
    FilePtr file = openFile(descriptorPath, "rb");
    if (!file)
        return error.set(path, "the folder holds no meta.xml: it is not an unpacked Darwin Core Archive");
    std::string xml;
    char block[1 << 16];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file.get())) > 0 && xml.size() < maxDocumentBytes)
        xml.append(block, count);
    ArchiveDescriptor descriptor;
    std::string reason;
    if (!ArchiveDescriptor::parse(xml, descriptor, reason))
        return error.set(descriptorPath, utf8ToCp932(reason));
    form_ = Form::ArchiveFolder;
    coreName_ = descriptor.coreLocation;
    columns_ = descriptor.columns;
    std::map<std::string, std::string> documents;
    for (const std::string& name : {descriptor.metadataLocation, std::string("metadata.xml"), std::string("eml.xml")}) {
        if (name.empty() || documents.count(name))
            continue;
        FilePtr document = openFile(joinPath(path, utf8ToCp932(name)), "rb");
        if (!document)
            continue;
        std::string bytes;
        while ((count = std::fread(block, 1, sizeof block, document.get())) > 0 && bytes.size() < maxDocumentBytes)
            bytes.append(block, count);
        documents.emplace(name, std::move(bytes));
    }
    citation_ = DownloadCitation::fromEml(metadataDocument(documents, "", descriptor.metadataLocation));
    dataPath_ = joinPath(path, utf8ToCp932(coreName_));
    auto core = std::make_unique<FileByteSource>();
    if (!core->open(dataPath_))
        return error.set(dataPath_, "cannot be opened (the core file meta.xml names): " + core->errorText());
    return startReading(std::move(core), descriptor.layout, descriptor.headerLines, false, error);
}

bool OccurrenceDownload::startReading(
    std::unique_ptr<ByteSource> source, TextLayout layout, long headerLines, bool headerRow, ToolError& error)
{
    source_ = std::move(source);
    reader_ = std::make_unique<DelimitedReader>(*source_, layout);
    for (long skipped = 0; skipped < headerLines || headerRow; ++skipped) {
        DelimitedReader::Status status = reader_->next();
        if (status == DelimitedReader::Status::Error)
            return error.set(
                dataPath_, cp932Printf("line %ld: %s", reader_->lineNumber(), reader_->errorText().c_str()));
        if (status == DelimitedReader::Status::End)
            break;
        if (headerRow) {
            columns_ = TermColumns::fromHeader(reader_->fields());
            break;
        }
    }
    const char* where = headerRow ? "the header row" : "meta.xml";
    if (!columns_.has(OccurrenceTerm::Species) && !columns_.has(OccurrenceTerm::ScientificName))
        return error.set(dataPath_,
            cp932Printf(
                "%s names no column of the species (species or scientificName): is this an occurrence file?", where));
    bool coordinates = columns_.has(OccurrenceTerm::DecimalLatitude) && columns_.has(OccurrenceTerm::DecimalLongitude);
    if (!coordinates && !columns_.has(OccurrenceTerm::StateProvince) && !columns_.has(OccurrenceTerm::County))
        return error.set(dataPath_,
            cp932Printf("%s names no column of the place (decimalLatitude and decimalLongitude, stateProvince or "
                        "county)",
                where));
    return true;
}

DelimitedReader::Status OccurrenceDownload::next() { return reader_->next(); }

std::string OccurrenceDownload::description() const
{
    std::string layout = layoutWords(reader_->layout());
    switch (form_) {
    case Form::Archive:
        return "Darwin Core Archive, core " + coreName_ + ", " + layout;
    case Form::ArchiveFolder:
        return "unpacked Darwin Core Archive, core " + coreName_ + ", " + layout;
    case Form::SimpleZip:
        return "zip of " + coreName_ + ", " + layout + " with a header row of terms";
    case Form::TextFile:
        break;
    }
    return "text file, " + layout + " with a header row of terms";
}

} // namespace tavik
