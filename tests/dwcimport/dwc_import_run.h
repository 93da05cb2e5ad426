#pragma once

// A copy of the sample database in which dwcimport runs, and the download
// files tests make for it: zips, compressed text.
#include "tests/support/tool_run.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace tavik {

// The files of a zip, in the order stored: name, bytes.
using ZipFiles = std::vector<std::pair<std::string, std::string>>;

// Writes a zip (deflated) with libarchive.
void writeZip(const std::string& path, const ZipFiles& files);

// A file of a zip made of a head, `repeat` copies of a filler and a tail,
// written piece by piece: a test that measures a run's memory holds none of
// it (the run's process starts as a copy of the test's).
struct RepeatedZipFile {
    std::string name;
    std::string head;
    std::string filler;
    size_t repeat = 0;
    std::string tail;
};
void writeRepeatedZip(const std::string& path, const std::vector<RepeatedZipFile>& files);

// Writes bytes compressed as "gzip", "bzip2" or "xz", as a single stream.
void writeCompressed(const std::string& path, const std::string& bytes, const std::string& compression);

class DwcImportRun : public ToolRun {
protected:
    void SetUp() override
    {
        std::filesystem::copy(TAVIK_SOURCE_DIR "/examples/japan", dir_, std::filesystem::copy_options::recursive);
    }
    // Writes bytes as they are (write() converts UTF-8 to cp932).
    void writeBytes(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    // The sample's settings with one line changed and a [Dwc] section added.
    void settings(const std::string& from, const std::string& to, const std::string& dwcSection)
    {
        std::string ini = test::readBytes(TAVIK_SOURCE_DIR "/examples/japan/tavik.ini");
        if (!from.empty())
            ini.replace(ini.find(from), from.size(), to);
        writeBytes("tavik.ini", ini + dwcSection);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
};

} // namespace tavik
