// The text of a download in any encoding, the layout found from its header,
// and a source that fails part-way: never taken for the end of the file.
#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/decoding_source.h"
#include "tools/dwcimport/delimited_reader.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tavik {
namespace {

// Bytes handed out a few at a time; after `failAt` bytes every read fails.
class StepSource : public ByteSource {
public:
    StepSource(std::string bytes, size_t step, size_t failAt = std::string::npos)
        : bytes_(std::move(bytes))
        , step_(step)
        , failAt_(failAt)
    {
    }
    long read(char* buffer, size_t size) override
    {
        if (at_ >= failAt_)
            return -1;
        size_t count = std::min({size, step_, bytes_.size() - at_, failAt_ - at_});
        std::memcpy(buffer, bytes_.data() + at_, count);
        at_ += count;
        return static_cast<long>(count);
    }
    std::string errorText() const override { return "読み込みに失敗しました: 入出力エラーです (EIO)"; }

private:
    std::string bytes_;
    size_t step_;
    size_t failAt_;
    size_t at_ = 0;
};

struct Decoded {
    std::string text;
    std::string error;
    TextEncoding encoding = TextEncoding::Utf8;
};

Decoded decodeAll(const std::string& bytes, std::optional<TextEncoding> stated, size_t step)
{
    StepSource raw(bytes, step);
    DecodingSource source(raw, stated);
    Decoded decoded;
    char buffer[7];
    for (;;) {
        long count = source.read(buffer, step < sizeof buffer ? step : sizeof buffer);
        if (count < 0) {
            decoded.error = source.errorText();
            break;
        }
        if (count == 0)
            break;
        decoded.text.append(buffer, static_cast<size_t>(count));
    }
    decoded.encoding = source.encoding();
    return decoded;
}

std::string utf16(const std::string& utf8, bool littleEndian)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        unsigned code = length == 1 ? lead : lead & (0xFFu >> (length + 1));
        for (size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        i += length;
        char high = static_cast<char>(code >> 8), low = static_cast<char>(code & 0xFF);
        out += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

TEST(DwcTextDecoding, EachEncodingIsReadFromItsByteOrderMarkOrAsStated)
{
    const std::string text = "species\tlocality\nアゲハ\tMüller's garden €5\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<TextEncoding> stated;
        TextEncoding read;
    } cases[] = {
        {"UTF-8", text, std::nullopt, TextEncoding::Utf8},
        {"UTF-8 with its mark, cp932 stated", "\xEF\xBB\xBF" + text, TextEncoding::Cp932, TextEncoding::Utf8},
        {"Excel's Unicode text: UTF-16LE with its mark", "\xFF\xFE" + utf16(text, true), std::nullopt,
            TextEncoding::Utf16LittleEndian},
        {"UTF-16BE with its mark", "\xFE\xFF" + utf16(text, false), std::nullopt, TextEncoding::Utf16BigEndian},
        {"UTF-16 stated, no mark, big-endian", utf16(text, false), TextEncoding::Utf16LittleEndian,
            TextEncoding::Utf16BigEndian},
        {"cp932 stated", cp932Literal("species\tlocality\nアゲハ\t"), TextEncoding::Cp932, TextEncoding::Cp932},
        {"Latin-1 stated",
            "species\tlocality\n\xE3\x82\xA2\xE3\x82\xB2\xE3\x83\x8F\tM\xFCller's garden \x80"
            "5\n",
            TextEncoding::Latin1, TextEncoding::Latin1},
    };
    for (const Case& c : cases) {
        for (size_t step : {size_t{1}, size_t{3}, size_t{1} << 20}) {
            Decoded decoded = decodeAll(c.bytes, c.stated, step);
            EXPECT_EQ(decoded.error, "") << c.name;
            EXPECT_EQ(decoded.encoding, c.read) << c.name;
            if (c.read == TextEncoding::Cp932)
                EXPECT_EQ(decoded.text, "species\tlocality\nアゲハ\t") << c.name << ", reads of " << step;
            else if (c.read == TextEncoding::Latin1) // the UTF-8 of アゲハ read as Latin-1 letters
                EXPECT_EQ(decoded.text, "species\tlocality\nã‚¢ã‚²ãƒ\u008F\tMüller's garden €5\n") << c.name;
            else
                EXPECT_EQ(decoded.text, text) << c.name << ", reads of " << step;
        }
    }
}

TEST(DwcTextDecoding, TextNotValidInItsEncodingIsRefusedNamingTheLikelyOne)
{
    const std::string header = "species\tstateProvince\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<TextEncoding> stated;
        std::string error; // its start
        std::string text; // handed out before the refusal
    } cases[] = {
        {"an Excel CSV in cp932", header + cp932Literal("アゲハ\t東京都\n").bytes(), std::nullopt,
            "UTF-8 として読めない文字があります (0x83 0x41 0x83 0x51). cp932 (Shift_JIS) で書かれたファイルのようです: "
            "--encoding cp932 を付けるか、tavik.ini の [Dwc] に Encoding=cp932 と書いて、やり直して下さい.",
            header},
        {"Latin-1", header + "Pieris rapae\tM\xFCnchen\n", std::nullopt,
            "UTF-8 として読めない文字があります (0xFC 0x6E 0x63 0x68). Latin-1 (windows-1252) "
            "で書かれたファイルのようで"
            "す: --encoding latin1 を付けるか",
            header + "Pieris rapae\tM"},
        {"UTF-16 without its mark", utf16(header, true), std::nullopt,
            "UTF-8 として読めない文字があります (0x73 0x00 0x70 0x00). UTF-16 (リトルエンディアン) "
            "で書かれたファイルのよ"
            "うです: --encoding utf-16 を付けるか",
            ""},
        {"UTF-8 read as cp932", header + "アゲハ\n", TextEncoding::Cp932,
            "cp932 (Shift_JIS) として読めない文字があります", header},
        {"UTF-8 cut in a character", header + "\xE3\x82", std::nullopt,
            "UTF-8 として読めない文字があります (0xE3 0x82). ファイルが壊れているか、途中で切れているようです.",
            header},
    };
    for (const Case& c : cases) {
        for (size_t step : {size_t{1}, size_t{1} << 20}) {
            Decoded decoded = decodeAll(c.bytes, c.stated, step);
            EXPECT_EQ(decoded.error.substr(0, c.error.size()), c.error) << c.name << ", reads of " << step;
            EXPECT_EQ(decoded.text.substr(0, c.text.size()), c.text) << c.name;
        }
    }
}

TEST(DwcTextDecoding, TheHeaderDecidesTheDelimiterQuotesAndLineEnds)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::vector<std::string>> records;
        TextLayout layout; // as found
    } cases[] = {
        {"GBIF's quoted simple download of 2016: a tab and a line end inside quotes",
            "\"species\"\t\"locality\"\n\"Pieris rapae\"\t\"by the \"\"old\"\" mill\tpond\nwest\"\n",
            {{"species", "locality"}, {"Pieris rapae", "by the \"old\" mill\tpond\nwest"}}, {'\t', '"', '\n'}},
        {"tab-separated, a quote in a field is text", "species\tlocality\nPieris rapae\t\"Mill\n",
            {{"species", "locality"}, {"Pieris rapae", "\"Mill"}}, {'\t', 0, '\n'}},
        {"semicolons from a European spreadsheet", "species;locality;note\r\nPieris rapae;\"a; b\";1,5\r\n",
            {{"species", "locality", "note"}, {"Pieris rapae", "a; b", "1,5"}}, {';', '"', '\n'}},
        {"CR-only line ends", "species,locality\rPieris rapae,Tokyo\rPapilio xuthus,Kyoto\r",
            {{"species", "locality"}, {"Pieris rapae", "Tokyo"}, {"Papilio xuthus", "Kyoto"}}, {',', '"', '\r'}},
        {"CR CR LF line ends", "species\tlocality\r\r\nPieris rapae\tTokyo\r\r\n",
            {{"species", "locality"}, {"Pieris rapae", "Tokyo"}}, {'\t', 0, '\n'}},
    };
    for (const Case& c : cases) {
        for (size_t step : {size_t{1}, size_t{1} << 20}) {
            StepSource source(c.text, step);
            DelimitedReader reader(source, {});
            std::vector<std::vector<std::string>> records;
            while (reader.next() == DelimitedReader::Status::Record)
                records.emplace_back(reader.fields().begin(), reader.fields().end());
            EXPECT_EQ(reader.errorText(), "") << c.name;
            EXPECT_EQ(records, c.records) << c.name << ", reads of " << step;
            EXPECT_EQ(reader.layout().delimiter, c.layout.delimiter) << c.name;
            EXPECT_EQ(reader.layout().quote, c.layout.quote) << c.name;
            EXPECT_EQ(reader.layout().lineEnd, c.layout.lineEnd) << c.name;
        }
    }
}

// A read that fails part-way through is reported with the line it stopped
// in, after every record before it; never as the end of the file.
TEST(DwcTextDecoding, AReadErrorIsNeverTheEndOfTheFile)
{
    std::string text = "species\tdecimalLatitude\n";
    for (int i = 0; i < 1000; ++i)
        text += "Pieris rapae\t35." + std::to_string(i) + "\n";
    size_t failAt = text.find("35.500"); // line 502
    for (bool decoded : {false, true}) {
        for (size_t step : {size_t{7}, size_t{1} << 20}) {
            StepSource raw(text, step, failAt);
            DecodingSource decoder(raw, std::nullopt);
            DelimitedReader reader(decoded ? static_cast<ByteSource&>(decoder) : raw, {});
            long records = 0;
            DelimitedReader::Status status;
            while ((status = reader.next()) == DelimitedReader::Status::Record)
                ++records;
            EXPECT_EQ(status, DelimitedReader::Status::Error);
            EXPECT_EQ(records, 501) << "header and 500 records before the failure";
            EXPECT_EQ(reader.lineNumber(), 502);
            EXPECT_EQ(reader.errorText(), "読み込みに失敗しました: 入出力エラーです (EIO)");
            EXPECT_EQ(reader.next(), DelimitedReader::Status::Error) << "and it stays so";
        }
    }
}

} // namespace
} // namespace tavik
