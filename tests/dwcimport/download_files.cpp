#include "tests/dwcimport/dwc_import_run.h"

#include <archive.h>
#include <archive_entry.h>

#include <gtest/gtest.h>

#include <memory>

namespace tavik {
namespace {

struct WriterCloser {
    void operator()(archive* handle) const { archive_write_free(handle); }
};
using Writer = std::unique_ptr<archive, WriterCloser>;

void addEntry(archive* writer, const RepeatedZipFile& file)
{
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname(entry.get(), file.name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    size_t size = file.head.size() + file.filler.size() * file.repeat + file.tail.size();
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(size));
    ASSERT_EQ(archive_write_header(writer, entry.get()), ARCHIVE_OK) << archive_error_string(writer);
    auto put = [&](const std::string& bytes) {
        ASSERT_EQ(archive_write_data(writer, bytes.data(), bytes.size()), static_cast<la_ssize_t>(bytes.size()));
    };
    put(file.head);
    for (size_t i = 0; i < file.repeat; ++i)
        put(file.filler);
    put(file.tail);
}

void addEntry(archive* writer, const std::string& name, const std::string& bytes)
{
    addEntry(writer, RepeatedZipFile{name, bytes, "", 0, ""});
}

} // namespace

void writeZip(const std::string& path, const ZipFiles& files)
{
    Writer writer(archive_write_new());
    archive_write_set_format_zip(writer.get());
    ASSERT_EQ(archive_write_open_filename(writer.get(), path.c_str()), ARCHIVE_OK);
    for (const auto& [name, bytes] : files)
        addEntry(writer.get(), name, bytes);
    ASSERT_EQ(archive_write_close(writer.get()), ARCHIVE_OK);
}

void writeRepeatedZip(const std::string& path, const std::vector<RepeatedZipFile>& files)
{
    Writer writer(archive_write_new());
    archive_write_set_format_zip(writer.get());
    ASSERT_EQ(archive_write_open_filename(writer.get(), path.c_str()), ARCHIVE_OK);
    for (const RepeatedZipFile& file : files)
        addEntry(writer.get(), file);
    ASSERT_EQ(archive_write_close(writer.get()), ARCHIVE_OK);
}

void writeCompressed(const std::string& path, const std::string& bytes, const std::string& compression)
{
    Writer writer(archive_write_new());
    ASSERT_EQ(archive_write_add_filter_by_name(writer.get(), compression.c_str()), ARCHIVE_OK);
    archive_write_set_format_raw(writer.get());
    ASSERT_EQ(archive_write_open_filename(writer.get(), path.c_str()), ARCHIVE_OK);
    addEntry(writer.get(), "data", bytes);
    ASSERT_EQ(archive_write_close(writer.get()), ARCHIVE_OK);
}

} // namespace tavik
