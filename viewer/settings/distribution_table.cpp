#include "viewer/settings/distribution_table.h"

#include "common/angle_text.h"
#include "common/fact_location.h"
#include "common/grid_square.h"
#include "common/table_rows.h"
#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/huge_pages.h"
#include "platform/line_ends.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"
#include "viewer/settings/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace tavik {
namespace {

constexpr size_t kCodeTextBytes = 24;
constexpr size_t kLocationBytes = 63;
constexpr size_t kBlockBytes = 64 * 1024; // bytes of a species' line read at a time

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a grid-square code after its two prefix characters; each
// group may be preceded by one "-".
std::string squareDigits(std::string_view code)
{
    std::string digits;
    for (size_t i = 2; i < code.size(); ++i) {
        char c = code[i];
        if (c == '-' && i + 1 < code.size() && isDigit(code[i + 1]) && code[i - 1] != '-')
            continue;
        if (!isDigit(c))
            break;
        digits += c;
    }
    return digits;
}

LocationKind locationKind(SquareLevel level)
{
    switch (level) {
    case SquareLevel::First:
        return LocationKind::FirstOrder;
    case SquareLevel::Second:
        return LocationKind::SecondOrder;
    case SquareLevel::FiveKm:
        return LocationKind::FiveKm;
    case SquareLevel::Third:
        return LocationKind::ThirdOrder;
    case SquareLevel::TwoKm:
        return LocationKind::TwoKm;
    case SquareLevel::Half:
        return LocationKind::Half;
    case SquareLevel::Quarter:
        return LocationKind::Quarter;
    case SquareLevel::Eighth:
        break;
    }
    return LocationKind::Eighth;
}

void classifySquare(std::string_view location, DistributionRecord& record)
{
    if (location.size() < 2 + 4)
        return;
    const std::optional<SquareDigits> square = readSquareDigits(squareDigits(location));
    if (!square)
        return;
    record.kind = locationKind(square->level);
    record.firstLatitude = square->firstLatitude;
    record.firstLongitude = square->firstLongitude;
    record.secondLatitude = square->secondLatitude;
    record.secondLongitude = square->secondLongitude;
    record.thirdLatitude = square->thirdLatitude;
    record.thirdLongitude = square->thirdLongitude;
    record.fiveKm = square->fiveKm;
    record.half = square->half;
    record.quarter = square->quarter;
    record.eighth = square->eighth;
}

// A latitude and longitude in either order: "N35.5E139.25" or
// "E139.25N35.5". The first angle is the text before the first letter of the
// other axis; the second runs from that axis' positive letter (E or N) or,
// without one, from its negative letter (W or S).
void classifyCoordinates(std::string_view location, bool latitudeFirst, DistributionRecord& record)
{
    record.kind = LocationKind::Coordinates;
    double& first = latitudeFirst ? record.latitude : record.longitude;
    double& second = latitudeFirst ? record.longitude : record.latitude;
    const AngleKind firstKind = latitudeFirst ? AngleKind::Latitude : AngleKind::Longitude;
    const AngleKind secondKind = latitudeFirst ? AngleKind::Longitude : AngleKind::Latitude;
    const CoordinateTexts texts = splitCoordinates(location, CoordinateSplit::AtEitherLetter);
    first = parseAngle(texts.first, firstKind);
    if (!texts.second.empty())
        second = parseAngle(texts.second, secondKind);
}

int rankOfLetter(char letter)
{
    switch (letter) {
    case 'A':
        return 0;
    case 'B':
        return 1;
    case 'C':
        return 2;
    case 'Z':
        return 3;
    default:
        return -1;
    }
}

// Reports a faulty line of the table; true when reading may go on with the
// fields that were kept.
bool reportLineFault(CsvStatus status, const std::string& path, long line, MessageSink& messages)
{
    const char* file = path.c_str();
    switch (status) {
    case CsvStatus::Ok:
        return true;
    case CsvStatus::FieldTooLong:
        messages.stop(cp932Printf(
            "%s\n トークンの長さが %d を越えました。", file, static_cast<int>(CsvReader::viewerFieldBytes)));
        return true;
    case CsvStatus::TooManyFields:
        messages.stop(
            cp932Printf("%s\n トークン数が %d を越えました。", file, static_cast<int>(CsvReader::viewerFields)));
        return true;
    case CsvStatus::EndOfFile:
        messages.stop(cp932Printf("%s\n 種別分布テーブルが読めません。", file));
        return false;
    case CsvStatus::UnterminatedQuote:
        messages.stop(cp932Printf("%s\n 構文エラー。文字列が \"\" で囲まれていません。", file));
        return false;
    case CsvStatus::LineTooLong:
    case CsvStatus::ReadError:
        messages.stop(csvLineFaultMessage(status, path, line));
        return false;
    case CsvStatus::MisplacedQuote:
        break;
    }
    messages.stop(cp932Printf("%s\n 種別分布テーブルが不正です。", file));
    return false;
}

} // namespace

DistributionRecord classifyLocation(std::string_view location)
{
    DistributionRecord record;
    switch (locationForm(location, SquareMark::JFirstOrPSecond)) {
    case LocationForm::GridSquare:
        classifySquare(location, record);
        break;
    case LocationForm::Coordinates:
        classifyCoordinates(location, latitudeComesFirst(location), record);
        break;
    case LocationForm::AreaCode:
        record.kind = LocationKind::Area;
        record.areaCode = parseInteger(location);
        break;
    }
    return record;
}

// The file an index was built from, kept open so that every line is read
// from the bytes that were indexed, and what identified it then.
struct DistributionTable::IndexedFile {
    int descriptor = -1;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    ~IndexedFile()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
};

namespace {

// The bytes of a file from `offset` up to the end of the line that starts
// there, in blocks read with pread (so that several threads read at once).
// Reading stops early once `enoughCommas` commas were read: the map uses the
// first fields of a line, and a common species' line holds millions.
enum class LineRead { Whole, Prefix, ReadError };

LineRead readLineAt(int descriptor, std::uint64_t offset, size_t enoughCommas, std::string& text)
{
    text.clear();
    LineEndScanner lineEnds;
    std::vector<char> block(kBlockBytes);
    size_t carried = 0; // bytes at the block's start passed again (a CR waiting on what follows)
    size_t commas = 0;
    for (;;) {
        const ssize_t got
            = ::pread(descriptor, block.data() + carried, block.size() - carried, static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return LineRead::ReadError;
        }
        offset += static_cast<std::uint64_t>(got);
        const bool atEnd = got == 0;
        std::string_view bytes(block.data(), carried + static_cast<size_t>(got));
        LineEndScanner::Found found = lineEnds.scan(bytes, atEnd);
        text.append(bytes.data(), found.textBytes);
        commas += static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + found.textBytes, ','));
        if (found.result == LineEndScanner::Result::End || atEnd)
            return LineRead::Whole;
        if (commas >= enoughCommas)
            return LineRead::Prefix;
        carried = bytes.size() - found.textBytes;
        std::memmove(block.data(), block.data() + found.textBytes, carried);
    }
}

} // namespace

DistributionIndexStatus DistributionTable::buildIndex(std::string_view path, int capacity)
{
    path_ = std::string(path);
    entries_.clear();
    file_.reset();
    readErrorLine_ = 0;
    FilePtr file = openRegularFile(path);
    if (!file)
        return DistributionIndexStatus::CannotOpen;
    auto indexed = std::make_shared<IndexedFile>();
    indexed->descriptor = ::dup(::fileno(file.get()));
    struct stat info { };
    if (indexed->descriptor < 0 || ::fstat(indexed->descriptor, &info) != 0)
        return DistributionIndexStatus::CannotOpen;
    indexed->device = info.st_dev;
    indexed->inode = info.st_ino;
    indexed->size = info.st_size;
    indexed->modified = info.st_mtim;

    // One pass over the file in large blocks; only each line's start and the
    // text before its first comma are looked at. A line without a comma holds
    // only its species code (a species without records), so its whole text
    // is the code. Lines end as the CSV reader ends them, so that each offset
    // is where the reader finds the line.
    std::vector<char> block(1 << 20);
    size_t start = 0; // first byte of block not yet looked at
    size_t end = 0; // end of the bytes read into block
    std::uint64_t offset = 0; // file offset of block[start]
    bool endOfFile = false;
    bool readError = false;
    bool inLine = false;
    bool sawComma = false;
    std::uint64_t lineStart = 0;
    std::string codeText;
    LineEndScanner lineEnds;

    auto fill = [&]() -> bool {
        // A CR whose meaning waits on the next byte moves to the front.
        std::memmove(block.data(), block.data() + start, end - start);
        end -= start;
        start = 0;
        size_t got = std::fread(block.data() + end, 1, block.size() - end, file.get());
        end += got;
        endOfFile = got == 0;
        readError = readError || (got == 0 && std::ferror(file.get()) != 0);
        return got > 0;
    };
    auto finishLine = [&]() -> bool {
        inLine = false;
        if (static_cast<int>(entries_.size()) >= capacity)
            return false;
        entries_.push_back({parseInteger64(codeText), lineStart});
        return true;
    };

    for (;;) {
        if (start == end && !fill())
            break;
        if (!inLine) {
            inLine = true;
            sawComma = false;
            lineStart = offset;
            codeText.clear();
        }
        std::string_view text(block.data() + start, end - start);
        LineEndScanner::Found found = lineEnds.scan(text, endOfFile);
        if (!sawComma) {
            const char* comma = static_cast<const char*>(std::memchr(text.data(), ',', found.textBytes));
            size_t stop = comma ? static_cast<size_t>(comma - text.data()) : found.textBytes;
            size_t room = kCodeTextBytes - std::min(kCodeTextBytes, codeText.size());
            codeText.append(text.data(), std::min(room, stop));
            sawComma = comma != nullptr;
        }
        size_t taken = found.textBytes + found.endBytes;
        start += taken;
        offset += taken;
        if (found.result == LineEndScanner::Result::End) {
            if (!finishLine())
                return DistributionIndexStatus::Overflow;
        } else if (found.result == LineEndScanner::Result::NeedMore) {
            fill();
        }
    }
    if (readError) {
        // The line being read when the read failed is the one reported; an
        // index of the lines before it would draw the rest as empty maps.
        readErrorLine_ = static_cast<long>(entries_.size()) + 1;
        entries_.clear();
        return DistributionIndexStatus::ReadError;
    }
    if (inLine && !finishLine())
        return DistributionIndexStatus::Overflow;
    file_ = std::move(indexed);
    return DistributionIndexStatus::Ok;
}

bool DistributionTable::changedOnDisk() const
{
    if (!file_)
        return false;
    struct stat now { };
    const std::string local = localPath(path_).utf8();
    if (local.empty() || ::stat(local.c_str(), &now) != 0)
        return true;
    return now.st_dev != file_->device || now.st_ino != file_->inode || now.st_size != file_->size
        || now.st_mtim.tv_sec != file_->modified.tv_sec || now.st_mtim.tv_nsec != file_->modified.tv_nsec;
}

bool DistributionTable::readSpeciesRecords(
    std::int64_t speciesCode, const Settings& settings, RecordSet& set, MessageSink& messages) const
{
    auto entry
        = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.speciesCode == speciesCode; });
    if (entry == entries_.end() || !file_)
        return false;
    const long lineNumber = static_cast<long>(entry - entries_.begin()) + 1;
    // Only the fields of the first PointMaxPerSpecies records are read and
    // split (two a record, after the species code): a line of a common
    // species may hold millions.
    const size_t pointMax = static_cast<size_t>(std::clamp(settings.pointMaxPerSpecies, 0, kPointMaxLimit));
    const size_t fieldsUsed = 1 + 2 * pointMax;
    std::string line;
    std::vector<std::string_view> fields;
    CsvStatus status = CsvStatus::Ok;
    try {
        LineRead read = readLineAt(file_->descriptor, entry->offset, fieldsUsed + 1, line);
        if (read != LineRead::ReadError)
            status = splitViewerLine(line, fields, fieldsUsed);
        // A prefix that a quoted comma made too short is read again whole.
        if (read == LineRead::Prefix && status != CsvStatus::TooManyFields) {
            read = readLineAt(file_->descriptor, entry->offset, static_cast<size_t>(-1), line);
            if (read != LineRead::ReadError)
                status = splitViewerLine(line, fields, fieldsUsed);
        }
        if (read == LineRead::ReadError)
            status = CsvStatus::ReadError;
    } catch (const std::bad_alloc&) {
        status = CsvStatus::LineTooLong;
        fields.clear();
    }
    if (status == CsvStatus::TooManyFields)
        status = CsvStatus::Ok; // the fields beyond those used were not split
    if (!reportLineFault(status, path_, lineNumber, messages))
        return false;
    // The line must be the species' own: a file rewritten in place (not
    // replaced) may hold other lines at the indexed offsets.
    const std::string_view code = fields.empty() ? std::string_view() : fields[0];
    if (parseInteger64(code.substr(0, kLocationBytes)) != speciesCode) {
        messages.stop(
            cp932Printf("%s\n %ld 行目は種コード %lld の行ではありません。種別分布テーブルが書き換えられています。"
                        "ビューアを起動し直して下さい。",
                path_.c_str(), lineNumber, static_cast<long long>(speciesCode)));
        return false;
    }

    set.records.clear();
    set.speciesCode = speciesCode;
    // A record is a location and its rank after the code; a location the
    // line ends on without its rank is not a record.
    const size_t pairs = std::min(pointMax, (fields.size() - 1) / 2);
    set.records.reserve(pairs);
    preferHugePages(set.records);
    for (size_t k = 0; k < pairs; ++k) {
        std::string_view location = fields[2 * k + 1].substr(0, kLocationBytes);
        std::string_view rankText = fields[2 * k + 2];
        int rank = rankText.empty() ? -1 : rankOfLetter(rankText[0]);
        if (rank < 0 || !settings.rankShown(rank))
            continue;
        DistributionRecord record = classifyLocation(location);
        record.rank = static_cast<std::uint8_t>(rank);
        set.records.push_back(record);
    }
    return true;
}

} // namespace tavik
