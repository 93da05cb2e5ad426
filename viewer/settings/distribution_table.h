#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class MessageSink;
struct Settings;

// What a location of the distribution table names.
enum class LocationKind : std::uint8_t {
    None = 0, // no usable location (still kept when its rank is shown)
    Coordinates = 1, // latitude and longitude
    Area = 2, // an area code of the area table
    FirstOrder = 3, // grid squares of the national grid square system
    SecondOrder = 4,
    ThirdOrder = 5,
    Half = 6,
    Quarter = 7,
    Eighth = 8,
    TwoKm = 9,
    FiveKm = 10,
};

// One location-rank pair of a species' line. Fields that do not apply are 0.
struct DistributionRecord {
    double latitude = 0.0; // degrees (coordinates), kInvalidAngle when unreadable
    double longitude = 0.0; // degrees
    std::int32_t areaCode = 0;
    std::uint8_t rank = 0; // 0 A, 1 B, 2 C, 3 Z
    LocationKind kind = LocationKind::None;
    std::uint8_t firstLatitude = 0; // 0-99: the first two digits of a square code
    std::uint8_t firstLongitude = 0; // 0-99: the next two
    std::uint8_t secondLatitude = 0; // digits 0-9 from here on
    std::uint8_t secondLongitude = 0;
    std::uint8_t thirdLatitude = 0;
    std::uint8_t thirdLongitude = 0;
    std::uint8_t half = 0;
    std::uint8_t quarter = 0;
    std::uint8_t eighth = 0;
    std::uint8_t fiveKm = 0; // the second-order square's quarter, 1-4
};

// The records of one species.
struct RecordSet {
    std::int64_t speciesCode = 0;
    std::vector<DistributionRecord> records;
};

// Reads the location text of a distribution record into its kind and
// numbers (the rank is left alone).
DistributionRecord classifyLocation(std::string_view location);

enum class DistributionIndexStatus { Ok = 0, CannotOpen = -1, Overflow = -2, ReadError = -3 };

// The distribution table ("ta_vik.csv"): one line per species, read one line
// at a time through an index of line offsets built at start-up. The file the
// index was built from stays open, so that a table replaced under the viewer
// (samvel writes a new file and renames it over the old) is never read at the
// old offsets; changedOnDisk() tells when the path names another file now.
class DistributionTable {
public:
    struct Entry {
        std::int64_t speciesCode = 0;
        std::uint64_t offset = 0; // byte offset of the line's start
    };

    // Reads the file once from start to end, recording each line's species
    // code and offset; at most `capacity` lines. CannotOpen also for a path
    // that is not a regular file; ReadError when the file could not be read
    // to its end (readErrorLine() says at which line).
    DistributionIndexStatus buildIndex(std::string_view path, int capacity);

    // Reads the line of a species into `set`, keeping the records whose rank
    // the settings show, at most PointMaxPerSpecies of them (only as much of
    // the line is read and split as those need). False when the species has
    // no line, or, after a message naming the file, when the line is faulty,
    // cannot be read or no longer holds that species. Safe to call from
    // several threads at once.
    bool readSpeciesRecords(
        std::int64_t speciesCode, const Settings& settings, RecordSet& set, MessageSink& messages) const;

    // True when the path now names another file than the one indexed, or the
    // indexed file changed its size or time since (a new index is needed).
    bool changedOnDisk() const;

    const std::vector<Entry>& entries() const { return entries_; }
    const std::string& path() const { return path_; }
    long readErrorLine() const { return readErrorLine_; }

private:
    struct IndexedFile;

    std::string path_;
    std::vector<Entry> entries_;
    std::shared_ptr<const IndexedFile> file_;
    long readErrorLine_ = 0;
};

} // namespace tavik
