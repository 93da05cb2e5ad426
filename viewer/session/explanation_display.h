#pragma once

#include "platform/paths.h"

#include <string>
#include <string_view>
#include <utility>

namespace tavik {

class MessageSink;
class ProcessLauncher;
struct PathSettings;
struct SpeciesRecord;

// The explanation files of a species found in the explanation folder, each an
// ordinary file's path (cp932) or empty when not found.
struct ExplanationFiles {
    std::string page; // N.html: opened as it is
    std::string header; // N.hdr
    std::string text; // N.txt: the explanation
    std::string literature; // N.lit
};

// Looks the files up under the species' names in this order: scientific name,
// alias 1, alias 2 (each when not empty), then the species code in decimal
// (when above 0). Each part takes the first name under which it exists as an
// ordinary file. Names are made fit to be file names the way the literature
// writer makes them.
ExplanationFiles findExplanationFiles(const SpeciesRecord& species, std::string_view explanationPath);

// The URL of a file (cp932 path): `urlTop` (BrowserUrlTop), or "file://" when
// that is empty, followed by the file's absolute path, percent-encoded.
std::string fileUrl(std::string_view path, std::string_view urlTop);

// The temporary page that shows the header, explanation and literature files
// in frames (cp932 HTML).
std::string explanationPageText(const ExplanationFiles& files, std::string_view urlTop);

// Shows explanation pages and the help document in a web browser: through the
// desktop's opener when HtmlDefaultAction is on, else through the Browser
// program. Every failure is shown through the message sink.
class ExplanationDisplay {
public:
    // temporaryDirectory (cp932): the private folder of the temporary page;
    // empty when none could be made (composing a page then fails with its
    // message).
    ExplanationDisplay(
        const PathSettings& settings, ProcessLauncher& launcher, MessageSink& messages, std::string temporaryDirectory);

    // Shows the explanation of a species (nothing without one): its HTML page
    // when there is one, else a temporary page of its other files, else the
    // message that there is no explanation.
    void showExplanation(const SpeciesRecord* species);

    // Opens HelpDocumentPath\HelpDocumentName, or says that it is missing.
    // When tavik.ini names no document of its own, the installed user guide
    // is opened instead (when there is one).
    void showHelpDocument();

    // The installed user guide's first page (local path); empty when none.
    void setInstalledGuide(LocalPath page) { installedGuide_ = std::move(page); }

    // Opens a page (cp932 path) as it is; false after the failure message.
    bool openPage(std::string_view path);

    // Where the temporary page is written (cp932).
    std::string temporaryPagePath() const;

private:
    bool openTemporaryPage(const std::string& path);
    bool startBrowser(const std::string& argument);
    void browserFailed();
    void showInstalledGuide();

    const PathSettings& settings_;
    ProcessLauncher& launcher_;
    MessageSink& messages_;
    std::string temporaryDirectory_;
    LocalPath installedGuide_;
};

} // namespace tavik
