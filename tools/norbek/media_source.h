#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// How a media file goes into a page, from the extension of its name.
struct MediaType {
    enum Kind { Image, Object, Text };
    Kind kind = Text;
    std::string type; // "image/png", "video/mpeg", ...; empty for text
};

// The media type of a path by the extension of its file name (any case):
// images, video and audio by their registered types; anything else is text
// that is copied into the page.
MediaType mediaTypeOf(std::string_view path);

// Finds the media files of a page below the output folder. A source path
// (cp932, "\" or "/" between parts) may hold "*" in any part, standing for
// the species' name; each name candidate is tried in turn until one leads to
// an existing file.
class MediaSource {
public:
    // outputDirectory: the output folder text, ending in a separator or
    // empty for the current folder. Files not found are reported to `report`.
    MediaSource(std::string outputDirectory, std::FILE* report);

    // The path of the file found, relative to the output folder with "/"
    // between its parts; nothing when no candidate leads to an ordinary file
    // (each path tried is then reported with the reason).
    std::optional<std::string> resolve(std::string_view source, const std::vector<std::string>& candidates) const;

private:
    std::string outputDirectory_;
    std::FILE* report_;
};

} // namespace tavik
