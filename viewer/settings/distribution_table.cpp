#include "viewer/settings/distribution_table.h"

#include "platform/cp932.h"
#include "platform/huge_pages.h"
#include "platform/line_ends.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"
#include "viewer/settings/angle_text.h"
#include "viewer/settings/csv_line_reader.h"
#include "viewer/settings/settings.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tavik {
namespace {

constexpr size_t kCodeTextBytes = 24;
constexpr size_t kLocationBytes = 63;

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

void classifySquare(std::string_view location, DistributionRecord& record)
{
    if (location.size() < 2 + 4)
        return;
    std::string d = squareDigits(location);
    if (d.size() < 4)
        return;
    auto digit = [&](size_t i) { return static_cast<std::uint8_t>(d[i] - '0'); };
    record.firstLatitude = static_cast<std::uint8_t>(digit(0) * 10 + digit(1));
    record.firstLongitude = static_cast<std::uint8_t>(digit(2) * 10 + digit(3));
    record.kind = LocationKind::FirstOrder;
    if (d.size() < 6)
        return;
    record.secondLatitude = digit(4);
    record.secondLongitude = digit(5);
    record.kind = LocationKind::SecondOrder;
    if (d.size() == 7) {
        record.fiveKm = digit(6);
        record.kind = LocationKind::FiveKm;
        return;
    }
    if (d.size() < 8)
        return;
    record.thirdLatitude = digit(6);
    record.thirdLongitude = digit(7);
    record.kind = LocationKind::ThirdOrder;
    if (d.size() < 9)
        return;
    if (d[8] == '5') {
        record.kind = LocationKind::TwoKm;
        return;
    }
    record.half = digit(8);
    record.kind = LocationKind::Half;
    if (d.size() < 10)
        return;
    record.quarter = digit(9);
    record.kind = LocationKind::Quarter;
    if (d.size() < 11)
        return;
    record.eighth = digit(10);
    record.kind = LocationKind::Eighth;
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
    const char positive = latitudeFirst ? 'E' : 'N';
    const char negative = latitudeFirst ? 'W' : 'S';
    const char letters[] = {positive, negative, '\0'};
    first = parseAngle(location.substr(0, location.find_first_of(letters)), firstKind);
    size_t from = location.find(positive);
    if (from == std::string_view::npos)
        from = location.find(negative);
    if (from != std::string_view::npos)
        second = parseAngle(location.substr(from), secondKind);
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
        messages.stop("",
            cp932Printf(
                "%s\n トークンの長さが %d を越えました。", file, static_cast<int>(CsvLineReader::kMaxFieldBytes)));
        return true;
    case CsvStatus::TooManyFields:
        messages.stop(
            "", cp932Printf("%s\n トークン数が %d を越えました。", file, static_cast<int>(CsvLineReader::kMaxFields)));
        return true;
    case CsvStatus::EndOfFile:
        messages.stop("", cp932Printf("%s\n 種別分布テーブルが読めません。", file));
        return false;
    case CsvStatus::UnterminatedQuote:
        messages.stop("", cp932Printf("%s\n 構文エラー。文字列が \"\" で囲まれていません。", file));
        return false;
    case CsvStatus::LineTooLong:
        messages.stop("", lineTooLongMessage(path, line));
        return false;
    case CsvStatus::MisusedQuotes:
        break;
    }
    messages.stop("", cp932Printf("%s\n 種別分布テーブルが不正です。", file));
    return false;
}

} // namespace

DistributionRecord classifyLocation(std::string_view location)
{
    DistributionRecord record;
    if (location.empty()) {
        record.kind = LocationKind::Area;
        return record;
    }
    char first = location[0];
    if (first == 'J' || (location.size() > 1 && location[1] == 'P')) {
        classifySquare(location, record);
    } else if (first == 'N' || first == 'S') {
        classifyCoordinates(location, true, record);
    } else if (first == 'E' || first == 'W') {
        classifyCoordinates(location, false, record);
    } else {
        record.kind = LocationKind::Area;
        record.areaCode = parseInteger(location);
    }
    return record;
}

DistributionIndexStatus DistributionTable::buildIndex(std::string_view path, int capacity)
{
    path_ = std::string(path);
    entries_.clear();
    FilePtr file = openFile(path, "rb");
    if (!file)
        return DistributionIndexStatus::CannotOpen;

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
    if (inLine && !finishLine())
        return DistributionIndexStatus::Overflow;
    return DistributionIndexStatus::Ok;
}

bool DistributionTable::readSpeciesRecords(
    std::int64_t speciesCode, const Settings& settings, RecordSet& set, MessageSink& messages) const
{
    auto entry
        = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.speciesCode == speciesCode; });
    if (entry == entries_.end())
        return false;
    // The line is read whole, two fields a record, however many records it
    // holds; PointMaxPerSpecies bounds only the records taken from it.
    CsvLineReader reader(CsvLineReader::kAnyFields);
    long lineNumber = static_cast<long>(entry - entries_.begin()) + 1;
    if (!reader.open(path_) || !reader.seek(entry->offset, lineNumber))
        return false;
    try {
        if (!reportLineFault(reader.nextLine(), path_, lineNumber, messages))
            return false;
    } catch (const std::bad_alloc&) {
        return reportLineFault(CsvStatus::LineTooLong, path_, lineNumber, messages);
    }

    set.records.clear();
    set.speciesCode = parseInteger64(reader.field(0).substr(0, kLocationBytes));
    const size_t pointMax = static_cast<size_t>(std::clamp(settings.pointMaxPerSpecies, 0, kPointMaxLimit));
    const size_t pairs = std::min(pointMax, reader.fieldCount() / 2);
    set.records.reserve(pairs);
    preferHugePages(set.records);
    for (size_t k = 0; k < pairs; ++k) {
        std::string_view location = reader.field(2 * k + 1).substr(0, kLocationBytes);
        std::string_view rankText = reader.field(2 * k + 2);
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
