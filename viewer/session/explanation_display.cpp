#include "viewer/session/explanation_display.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/private_directory.h"
#include "viewer/session/process_launcher.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <cstdio>
#include <vector>

namespace tavik {
namespace {

constexpr const char* kTemporaryPageName = "TavikTmp.html";

// The frame of one text file in the temporary page; height "70", "40%" or
// "85%".
std::string frame(const std::string& url, const char* height)
{
    return "<OBJECT type=\"text/plain\" data=\"" + url + "\" height=\"" + height + "\" width=\"100%\">\n"
        + "</OBJECT><BR>\n";
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~' || c == '/';
}

} // namespace

ExplanationFiles findExplanationFiles(const SpeciesRecord& species, std::string_view explanationPath)
{
    std::vector<std::string> names;
    for (const std::string* name : {&species.scientificName, &species.alias1, &species.alias2}) {
        if (!name->empty())
            names.push_back(*name);
    }
    if (species.code > 0)
        names.push_back(std::to_string(species.code));

    ExplanationFiles files;
    const std::pair<std::string*, const char*> parts[]
        = {{&files.page, ".html"}, {&files.header, ".hdr"}, {&files.text, ".txt"}, {&files.literature, ".lit"}};
    for (const std::string& name : names) {
        const std::string stem = joinPath(explanationPath, fileNamePart(name));
        for (const auto& [found, extension] : parts) {
            if (found->empty() && isRegularFile(stem + extension))
                *found = stem + extension;
        }
    }
    return files;
}

std::string fileUrl(std::string_view path, std::string_view urlTop)
{
    const std::string local = localPath(path).utf8();
    std::string encoded;
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : local) {
        if (isUnreserved(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    std::string top = urlTop.empty() ? std::string("file://") : std::string(urlTop);
    // A prefix written as "file:///" or "http://host/" already holds the
    // path's first "/" (but "file://" does not).
    if (top.ends_with('/') && !top.ends_with("//") && encoded.starts_with('/'))
        top.pop_back();
    return top + encoded;
}

std::string explanationPageText(const ExplanationFiles& files, std::string_view urlTop)
{
    std::string page = "<HTML>\n<HEAD>\n<META content=\"text/html; charset=shift_jis\" http-equiv=Content-Type>\n"
                       "</HEAD>\n<BODY>\n";
    const bool both = !files.text.empty() && !files.literature.empty();
    const char* height = both ? "40%" : "85%";
    if (!files.header.empty())
        page += frame(fileUrl(files.header, urlTop), "70");
    if (!files.text.empty())
        page += cp932Literal("説明<BR>\n").bytes() + frame(fileUrl(files.text, urlTop), height);
    if (!files.literature.empty())
        page += cp932Literal("文献<BR>\n").bytes() + frame(fileUrl(files.literature, urlTop), height);
    page += "</BODY>\n</HTML>\n";
    return page;
}

ExplanationDisplay::ExplanationDisplay(
    const PathSettings& settings, ProcessLauncher& launcher, MessageSink& messages, std::string temporaryDirectory)
    : settings_(settings)
    , launcher_(launcher)
    , messages_(messages)
    , temporaryDirectory_(std::move(temporaryDirectory))
{
}

std::string ExplanationDisplay::temporaryPagePath() const { return joinPath(temporaryDirectory_, kTemporaryPageName); }

void ExplanationDisplay::showExplanation(const SpeciesRecord* species)
{
    if (!species)
        return;
    const ExplanationFiles files = findExplanationFiles(*species, settings_.explanationPath);
    if (!files.page.empty()) {
        openPage(files.page);
        return;
    }
    if (files.header.empty() && files.text.empty() && files.literature.empty()) {
        messages_.stop(cp932Printf("%s\n%s\n%s\n説明はありません", species->scientificName.c_str(),
            species->alias1.c_str(), species->alias2.c_str()));
        return;
    }

    if (temporaryDirectory_.empty()) {
        std::string reason;
        temporaryDirectory_ = privateTemporaryDirectory(&reason);
        if (temporaryDirectory_.empty()) {
            messages_.stop(cp932Printf("%s\n\nテンポラリファイル作成失敗。", reason.c_str()));
            return;
        }
    }
    const std::string path = temporaryPagePath();
    FilePtr file = openFile(path, "wb");
    if (!file) {
        messages_.stop(cp932Printf("%s\n\nテンポラリファイル作成失敗。", path.c_str()));
        return;
    }
    const std::string text = explanationPageText(files, settings_.browserUrlTop);
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size()
        && std::fflush(file.get()) == 0 && std::fclose(file.release()) == 0;
    if (!written) {
        messages_.stop(cp932Printf(
            "%s\n\nテンポラリファイル作成失敗。\n\ntavik.ini の ExplanationPathを 確認して下さい。", path.c_str()));
        return;
    }
    openTemporaryPage(path);
}

void ExplanationDisplay::showHelpDocument()
{
    if (!settings_.helpDocumentNamed && !installedGuide_.empty() && isRegularFile(installedGuide_)) {
        showInstalledGuide();
        return;
    }
    const std::string path = joinPath(settings_.helpDocumentPath, settings_.helpDocumentName);
    if (!isRegularFile(path)) {
        messages_.stop(
            cp932Printf("%s\n\nドキュメントがありません。\ntavik.ini の DocumentPath を確認して下さい", path.c_str()));
        return;
    }
    openPage(path);
}

// The guide is opened by the configured browser when there is one, else by
// the desktop's opener: a database with no document of its own usually names
// no browser either.
void ExplanationDisplay::showInstalledGuide()
{
    const bool browserNamed = !settings_.browser.empty() && isRegularFile(settings_.browser);
    if (!settings_.htmlDefaultAction && browserNamed) {
        startBrowser(installedGuide_.utf8());
        return;
    }
    if (!launcher_.startDetached(kDesktopOpener, {installedGuide_.utf8()}))
        messages_.stop(cp932Printf("%s\n\n利用者の手引きを開けませんでした。\n"
                                   "xdg-open（デスクトップの既定のブラウザ）が使えるか確認して下さい。",
            utf8ToCp932(installedGuide_.utf8()).c_str()));
}

bool ExplanationDisplay::openPage(std::string_view path)
{
    if (settings_.htmlDefaultAction) {
        if (launcher_.startDetached(kDesktopOpener, {localPath(path).utf8()}))
            return true;
        browserFailed();
        return false;
    }
    return startBrowser(localPath(path).utf8());
}

bool ExplanationDisplay::openTemporaryPage(const std::string& path)
{
    if (settings_.htmlDefaultAction)
        return openPage(path);
    return startBrowser(
        settings_.browserUrlStyle ? cp932ToUtf8(fileUrl(path, settings_.browserUrlTop)) : localPath(path).utf8());
}

bool ExplanationDisplay::startBrowser(const std::string& argument)
{
    if (!settings_.browser.empty() && isRegularFile(settings_.browser)
        && launcher_.startDetached(localPath(settings_.browser).utf8(), {argument}))
        return true;
    browserFailed();
    return false;
}

void ExplanationDisplay::browserFailed()
{
    messages_.stop(
        cp932Printf("%s\n\nブラウザ起動失敗。\n\ntavik.ini の Browser を確認して下さい。", settings_.browser.c_str()));
}

} // namespace tavik
