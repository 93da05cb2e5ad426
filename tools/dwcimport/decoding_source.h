#pragma once

#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/text_encoding.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class IconvHandle;

// The text of a download as UTF-8, read from its bytes in any encoding of
// TextEncoding. A byte-order mark at the start decides the encoding (and is
// dropped): EF BB BF UTF-8, FF FE UTF-16 little-endian, FE FF big-endian.
// Without one the stated encoding holds (--encoding, meta.xml, Encoding=),
// else UTF-8, which is checked byte by byte. Text that is not valid in the
// encoding in force ends the stream: read() hands out the text before it and
// then fails, with an errorText() that names the bytes, the encoding they
// most likely are in and the option to give.
class DecodingSource : public ByteSource {
public:
    DecodingSource(ByteSource& raw, std::optional<TextEncoding> stated);
    ~DecodingSource() override;
    DecodingSource(const DecodingSource&) = delete;
    DecodingSource& operator=(const DecodingSource&) = delete;

    long read(char* buffer, size_t size) override;
    std::string errorText() const override { return errorText_; }

    // The encoding in force, known after the first read.
    TextEncoding encoding() const { return encoding_; }
    bool hadByteOrderMark() const { return byteOrderMark_; }

private:
    bool start();
    void refill();
    long atRawEnd();
    long decodeUtf8(char* buffer, size_t size);
    long decodeLatin1(char* buffer, size_t size);
    long decodeWithConverter(char* buffer, size_t size);
    long handOut(char* buffer, size_t size);
    long refuse(std::string_view bad);

    ByteSource& raw_;
    std::optional<TextEncoding> stated_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool byteOrderMark_ = false;
    bool started_ = false;
    bool rawEnd_ = false;
    bool rawFailed_ = false; // the raw source ended in a failure
    bool failed_ = false;
    std::vector<char> bytes_; // raw bytes read and not yet decoded: [start_, end_)
    size_t start_ = 0;
    size_t end_ = 0;
    size_t validEnd_ = 0; // UTF-8: the bytes from start_ to here are known to be valid
    std::unique_ptr<IconvHandle> converter_;
    std::string pending_; // text converted and not yet handed out, from pendingAt_
    size_t pendingAt_ = 0;
    std::string errorText_;
};

} // namespace tavik
