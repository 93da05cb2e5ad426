#include "tools/dwcimport/decoding_source.h"

#include "platform/utf8_text.h"

#include "platform/iconv_handle.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tavik {
namespace {

// Raw bytes read from the source at a time.
constexpr size_t rawBlockBytes = size_t{1} << 18;
// Bytes looked at to guess the encoding of text that is not valid.
constexpr size_t sampleBytes = size_t{1} << 16;

// windows-1252 for the bytes 0x80 to 0x9F; the five it leaves undefined stay
// the C1 control characters of Latin-1.
constexpr std::array<std::uint16_t, 32> windows1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
    0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D,
    0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string hexBytes(std::string_view bytes)
{
    std::string out;
    for (size_t i = 0; i < bytes.size() && i < 4; ++i) {
        char hex[8];
        std::snprintf(
            hex, sizeof hex, "%s0x%02X", i ? " " : "", static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
        out += hex;
    }
    return out;
}

} // namespace

DecodingSource::DecodingSource(ByteSource& raw, std::optional<TextEncoding> stated)
    : raw_(raw)
    , stated_(stated)
    , bytes_(rawBlockBytes)
{
}

DecodingSource::~DecodingSource() = default;

void DecodingSource::refill()
{
    if (start_ > 0) {
        std::memmove(bytes_.data(), bytes_.data() + start_, end_ - start_);
        end_ -= start_;
        validEnd_ = validEnd_ > start_ ? validEnd_ - start_ : 0;
        start_ = 0;
    }
    while (!rawEnd_ && end_ < bytes_.size()) {
        long count = raw_.read(bytes_.data() + end_, bytes_.size() - end_);
        if (count <= 0) {
            // A failure waits until the bytes before it are handed out.
            rawEnd_ = true;
            rawFailed_ = count < 0;
            break;
        }
        end_ += static_cast<size_t>(count);
        if (started_)
            break;
    }
}

long DecodingSource::atRawEnd()
{
    if (!rawFailed_)
        return 0;
    failed_ = true;
    errorText_ = raw_.errorText();
    return -1;
}

bool DecodingSource::start()
{
    started_ = false;
    // The first block is read whole, so that a byte-order mark and the
    // layout of UTF-16 are seen however few bytes each read hands out.
    refill();
    started_ = true;
    std::string_view head(bytes_.data(), end_);
    if (head.starts_with("\xEF\xBB\xBF")) {
        encoding_ = TextEncoding::Utf8;
        start_ = 3;
        byteOrderMark_ = true;
    } else if (head.starts_with("\xFF\xFE")) {
        encoding_ = TextEncoding::Utf16LittleEndian;
        start_ = 2;
        byteOrderMark_ = true;
    } else if (head.starts_with("\xFE\xFF")) {
        encoding_ = TextEncoding::Utf16BigEndian;
        start_ = 2;
        byteOrderMark_ = true;
    } else {
        encoding_ = stated_.value_or(TextEncoding::Utf8);
        bool littleEndian = true;
        bool utf16 = looksLikeUtf16(head, littleEndian);
        if (encoding_ == TextEncoding::Utf16LittleEndian || encoding_ == TextEncoding::Utf16BigEndian) {
            if (utf16)
                encoding_ = littleEndian ? TextEncoding::Utf16LittleEndian : TextEncoding::Utf16BigEndian;
        } else if (utf16) {
            // NUL bytes are valid UTF-8, but text of them is of no use.
            refuse(head);
            return false;
        }
    }
    const char* from = encoding_ == TextEncoding::Cp932 ? "CP932"
        : encoding_ == TextEncoding::Utf16LittleEndian  ? "UTF-16LE"
        : encoding_ == TextEncoding::Utf16BigEndian     ? "UTF-16BE"
                                                        : nullptr;
    if (from) {
        converter_ = std::make_unique<IconvHandle>("UTF-8", from);
        if (!converter_->valid()) {
            failed_ = true;
            errorText_ = std::string("この計算機では ") + from + " の文字を変換できません (iconv).";
            return false;
        }
    }
    return true;
}

long DecodingSource::refuse(std::string_view bad)
{
    failed_ = true;
    // The guess looks at the bytes from the start of the line that holds the
    // bad ones (a sequence is never cut there), or from up to 4 KiB before them.
    size_t at = static_cast<size_t>(bad.data() - bytes_.data());
    size_t from = at > 4096 ? at - 4096 : 0;
    std::string_view before(bytes_.data() + from, at - from);
    size_t lineStart = before.find_last_of('\n');
    if (lineStart != std::string_view::npos && encoding_ != TextEncoding::Utf16LittleEndian
        && encoding_ != TextEncoding::Utf16BigEndian)
        from += lineStart + 1;
    std::string_view sample(bytes_.data() + from, std::min(end_ - from, sampleBytes));
    TextEncoding likely = likelyEncoding(sample);
    if (likely == TextEncoding::Utf16BigEndian)
        likely = TextEncoding::Utf16LittleEndian;
    TextEncoding inForce = encoding_ == TextEncoding::Utf16BigEndian ? TextEncoding::Utf16LittleEndian : encoding_;
    errorText_ = std::string(textEncodingName(encoding_)) + " として読めない文字があります (" + hexBytes(bad) + ").";
    if (likely == inForce) {
        errorText_ += " ファイルが壊れているか、途中で切れているようです.";
    } else {
        std::string option(textEncodingOption(likely));
        errorText_ += " " + std::string(textEncodingName(likely)) + " で書かれたファイルのようです: --encoding "
            + option + " を付けるか、tavik.ini の [Dwc] に Encoding=" + option + " と書いて、やり直して下さい.";
    }
    return -1;
}

long DecodingSource::read(char* buffer, size_t size)
{
    if (failed_)
        return -1;
    if (!started_ && !start())
        return -1;
    if (size == 0)
        return 0;
    switch (encoding_) {
    case TextEncoding::Utf8:
        return decodeUtf8(buffer, size);
    case TextEncoding::Latin1:
        return decodeLatin1(buffer, size);
    case TextEncoding::Cp932:
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian:
        break;
    }
    return decodeWithConverter(buffer, size);
}

long DecodingSource::decodeUtf8(char* buffer, size_t size)
{
    // Bytes up to validEnd_ were checked already: a read may hand out part
    // of a character, the rest comes with the next.
    while (validEnd_ <= start_) {
        if (start_ == end_) {
            if (rawEnd_)
                return atRawEnd();
            refill();
            continue;
        }
        bool incomplete = false;
        size_t valid = validUtf8Length(std::string_view(bytes_.data() + start_, end_ - start_), incomplete);
        if (valid > 0) {
            validEnd_ = start_ + valid;
            break;
        }
        if (incomplete && !rawEnd_) {
            size_t had = end_ - start_;
            refill();
            if (end_ - start_ > had || rawEnd_)
                continue;
        }
        if (incomplete && rawFailed_)
            return atRawEnd();
        return refuse(std::string_view(bytes_.data() + start_, end_ - start_));
    }
    size_t count = std::min(validEnd_ - start_, size);
    std::memcpy(buffer, bytes_.data() + start_, count);
    start_ += count;
    return static_cast<long>(count);
}

long DecodingSource::handOut(char* buffer, size_t size)
{
    size_t count = std::min(size, pending_.size() - pendingAt_);
    std::memcpy(buffer, pending_.data() + pendingAt_, count);
    pendingAt_ += count;
    return static_cast<long>(count);
}

long DecodingSource::decodeLatin1(char* buffer, size_t size)
{
    while (pendingAt_ == pending_.size()) {
        if (start_ == end_) {
            if (rawEnd_)
                return atRawEnd();
            refill();
            continue;
        }
        pending_.clear();
        pendingAt_ = 0;
        for (size_t i = start_; i < end_; ++i) {
            auto byte = static_cast<unsigned char>(bytes_[i]);
            appendUtf8(pending_, byte >= 0x80 && byte < 0xA0 ? windows1252High[byte - 0x80] : byte);
        }
        start_ = end_;
    }
    return handOut(buffer, size);
}

long DecodingSource::decodeWithConverter(char* buffer, size_t size)
{
    while (pendingAt_ == pending_.size()) {
        if (start_ == end_) {
            if (rawEnd_)
                return atRawEnd();
            refill();
            continue;
        }
        // cp932 and UTF-16 take at most one and a half times their bytes in UTF-8.
        pending_.resize((end_ - start_) * 2 + 16);
        pendingAt_ = 0;
        char* in = bytes_.data() + start_;
        size_t inLeft = end_ - start_;
        char* out = pending_.data();
        size_t outLeft = pending_.size();
        size_t rc = iconv(converter_->get(), &in, &inLeft, &out, &outLeft);
        int reason = errno;
        pending_.resize(pending_.size() - outLeft);
        start_ = static_cast<size_t>(in - bytes_.data());
        if (rc != static_cast<size_t>(-1) || !pending_.empty() || reason == E2BIG)
            continue;
        if (reason == EINVAL && !rawEnd_) {
            // A character cut by the end of the block: more bytes complete it.
            refill();
            continue;
        }
        if (reason == EINVAL && rawFailed_)
            return atRawEnd();
        return refuse(std::string_view(bytes_.data() + start_, end_ - start_));
    }
    return handOut(buffer, size);
}

} // namespace tavik
