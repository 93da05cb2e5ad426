#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The texts of an EML document (a Darwin Core Archive's metadata) that its
// citation is made of, read from its bytes as they come: a small scanner of
// elements and text (comments, CDATA, processing instructions and the
// document type are understood; an XML declaration of Latin-1 is honoured),
// keeping each wanted text up to 4 KiB and nothing else, so a document of
// any size takes a few kilobytes.
class EmlScanner {
public:
    std::string packageId; // the root element's
    std::string title; // dataset/title
    std::string pubDate; // dataset/pubDate
    std::vector<std::string> identifiers; // dataset/alternateIdentifier (16 at most)
    std::string citation; // additionalMetadata/metadata/gbif/citation, else the first other <citation>
    std::string citationIdentifier; // its identifier attribute
    bool gbifCitation = false; // the citation is the dataset's own, GBIF's profile

    // True once nothing more is needed (the dataset's own citation was read)
    // or the bytes are no document worth reading (markup over 1 MiB).
    bool done() const { return gbifCitation || failed_; }

    // Reads the next bytes of the document.
    void feed(std::string_view bytes);

private:
    enum class Capture { None, Title, PubDate, Identifier, Citation };

    size_t markupEnd(size_t at) const;
    void text(std::string_view bytes);
    void markup(std::string_view tag);
    void startCapture(Capture capture);
    void endCapture();

    std::string pending_; // bytes of markup or text not yet whole
    std::vector<std::string> path_; // local names of the open elements (64 deep at most)
    size_t depth_ = 0;
    bool rootSeen_ = false;
    bool latin1_ = false;
    bool failed_ = false;
    Capture capture_ = Capture::None;
    size_t captureDepth_ = 0;
    bool captureIsGbif_ = false;
    std::string captured_;
    std::string pendingIdentifier_;
};

} // namespace tavik
