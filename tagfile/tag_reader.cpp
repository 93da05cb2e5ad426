#include "tagfile/tag_reader.h"

#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/paths.h"
#include "platform/text_format.h"

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <new>
#include <optional>

namespace tavik {

Cp932Text tagStatusMessage(TagStatus status)
{
    switch (status) {
    case TagStatus::Ok:
        return {};
    case TagStatus::EndOfInput:
        return cp932Literal("ファイルの終わり。");
    case TagStatus::Internal:
        return cp932Literal("内部エラー。");
    case TagStatus::CannotOpen:
        return cp932Literal("印刷書式が読めません。");
    case TagStatus::DoubledSlash:
        return cp932Literal("/ が重複しています。");
    case TagStatus::DoubledEquals:
        return cp932Literal("= が重複しています。");
    case TagStatus::MissingTagName:
        return cp932Literal("タグ名がありません。");
    case TagStatus::UnknownTagName:
        return cp932Literal("このようなタグ名はありません。");
    case TagStatus::UpperCaseTagName:
        return cp932Literal("タグ名が大文字を含んでいます。小文字で書いて下さい。");
    case TagStatus::StraySlash:
        return cp932Literal("無意味な / があります。");
    case TagStatus::StrayComma:
        return cp932Literal("無意味な , があります。");
    case TagStatus::BadAttribute:
        return cp932Literal("属性定義が間違っています。");
    case TagStatus::MissingAttributeName:
        return cp932Literal("属性名がありません。");
    case TagStatus::MissingEquals:
        return cp932Literal("属性定義で = が抜けています。");
    case TagStatus::MissingValue:
        return cp932Literal("属性値がありません。");
    case TagStatus::UnquotedValue:
        return cp932Literal("属性値が引用符で囲まれていません。");
    case TagStatus::UnterminatedQuote:
        return cp932Literal("末尾の引用符がありません。");
    case TagStatus::StrayCloseBracket:
        return cp932Literal(" 対応する '<' がありません。");
    case TagStatus::UnclosedTag:
        return cp932Literal("直前のタグが '>' で閉じられていません。");
    case TagStatus::StrayWord:
        return cp932Literal("余計な文字があります。");
    case TagStatus::MalformedTag:
        return cp932Literal("このタグの書式はどこか間違っています。");
    case TagStatus::NoStartTag:
        return cp932Literal("対応する開始タグが見つかりません。");
    case TagStatus::NoEndTag:
        return cp932Literal("対応する終了タグが見つかりません。。");
    case TagStatus::NotSingleTag:
        return cp932Literal("このタグ名は単独タグとして使えません。");
    case TagStatus::NotStartTag:
        return cp932Literal("このタグ名は開始タグとして使えません。");
    case TagStatus::NotEndTag:
        return cp932Literal("このタグ名は終了タグとして使えません。");
    case TagStatus::TooLarge:
        return cp932Literal("タグが大きすぎて処理できませんでした。");
    case TagStatus::EndTagOutside:
        return cp932Literal("対応する終了タグが入れ子の外側にあます。");
    case TagStatus::OutOfMemory:
        return cp932Literal("メモリが足りません。");
    }
    return cp932Literal("内部エラー。");
}

namespace {

enum class TokenKind { Open, Close, Slash, Equals, Quote, Word };

struct Token {
    TokenKind kind;
    std::string text;
    int line;
    int column;
};

// What a run of tokens of a malformed tag amounts to, for the diagnosis.
enum class Symbol {
    Harmless, // a well-formed part, or nothing that can be named
    DoubledSlash,
    DoubledEquals,
    MissingTagName,
    MissingAttributeName,
    MissingEquals,
    UnquotedValue,
    MissingValue,
    BadAttribute,
    Slash,
    Comma,
    Word,
};

std::optional<TagStatus> symbolStatus(Symbol symbol, const std::string& text)
{
    switch (symbol) {
    case Symbol::Harmless:
        return std::nullopt;
    case Symbol::DoubledSlash:
        return TagStatus::DoubledSlash;
    case Symbol::DoubledEquals:
        return TagStatus::DoubledEquals;
    case Symbol::MissingTagName:
        return TagStatus::MissingTagName;
    case Symbol::MissingAttributeName:
        return TagStatus::MissingAttributeName;
    case Symbol::MissingEquals:
        return TagStatus::MissingEquals;
    case Symbol::UnquotedValue:
        return TagStatus::UnquotedValue;
    case Symbol::MissingValue:
        return TagStatus::MissingValue;
    case Symbol::BadAttribute:
        return TagStatus::BadAttribute;
    case Symbol::Slash:
        return TagStatus::StraySlash;
    case Symbol::Comma:
    case Symbol::Word:
        return text == "," ? TagStatus::StrayComma : TagStatus::StrayWord;
    }
    return std::nullopt;
}

} // namespace

// Turns lines into the flat list of nodes (start, end and single tags and
// text runs) in file order, recording lexical and tag-form errors.
class TagReader::Lexer {
public:
    explicit Lexer(TagReader& reader)
        : reader_(reader)
    {
    }

    void lexLine(std::string_view line, int lineNumber);
    void endOfInput();

    std::vector<TagNode> flat;

private:
    void recordHere(TagStatus status, std::size_t detectedAt, int column);
    void resetLine();
    void flushText();
    bool appendText(char c, int column);
    bool appendWord(char c, int column);
    bool endWord();
    bool push(TokenKind kind, std::string text, int column);
    bool closeTag(std::size_t detectedAt);
    std::optional<TagNode> reduce() const;
    void diagnose(std::size_t detectedAt);
    void addNode(TagNode node);

    TagReader& reader_;
    std::string_view line_;
    int lineNumber_ = 0;

    std::vector<Token> tokens_; // the tag being read; empty outside tags
    std::string word_;
    int wordLine_ = 0;
    int wordColumn_ = 0;
    char quote_ = 0; // the quote character of an open quoted value
    int quoteColumn_ = 0;

    std::string text_;
    int textLine_ = 0;
    int textColumn_ = 0;
    int nextIndex_ = 0;
};

void TagReader::Lexer::recordHere(TagStatus status, std::size_t detectedAt, int column)
{
    reader_.record(status, line_.substr(0, std::min(detectedAt, line_.size())), lineNumber_, column);
}

void TagReader::Lexer::resetLine()
{
    tokens_.clear();
    word_.clear();
    quote_ = 0;
    text_.clear();
}

void TagReader::Lexer::addNode(TagNode node)
{
    node.index = nextIndex_++;
    flat.push_back(std::move(node));
}

void TagReader::Lexer::flushText()
{
    if (text_.empty())
        return;
    TagNode node;
    node.kind = TagNode::Kind::Text;
    node.text = std::move(text_);
    node.line = textLine_;
    node.column = textColumn_;
    text_.clear();
    addNode(std::move(node));
}

bool TagReader::Lexer::appendText(char c, int column)
{
    if (text_.empty()) {
        textLine_ = lineNumber_;
        textColumn_ = column;
    }
    if (text_.size() >= TextLimit) {
        reader_.record(TagStatus::TooLarge, text_, textLine_, textColumn_);
        return false;
    }
    text_ += c;
    return true;
}

bool TagReader::Lexer::appendWord(char c, int column)
{
    if (word_.empty()) {
        wordLine_ = lineNumber_;
        wordColumn_ = column;
    }
    if (word_.size() >= TokenLimit) {
        reader_.record(TagStatus::TooLarge, word_, wordLine_, wordColumn_);
        return false;
    }
    word_ += c;
    return true;
}

bool TagReader::Lexer::push(TokenKind kind, std::string text, int column)
{
    if (tokens_.size() >= TokensPerTag) {
        reader_.record(TagStatus::TooLarge, text, lineNumber_, column);
        return false;
    }
    tokens_.push_back({kind, std::move(text), lineNumber_, column});
    return true;
}

bool TagReader::Lexer::endWord()
{
    if (word_.empty())
        return true;
    if (tokens_.size() >= TokensPerTag) {
        reader_.record(TagStatus::TooLarge, word_, wordLine_, wordColumn_);
        return false;
    }
    tokens_.push_back({TokenKind::Word, std::move(word_), wordLine_, wordColumn_});
    word_.clear();
    return true;
}

void TagReader::Lexer::lexLine(std::string_view line, int lineNumber)
{
    line_ = line;
    lineNumber_ = lineNumber;
    const std::size_t limit = std::min(line.size(), LineLimit);
    for (std::size_t i = 0; i < limit; ++i) {
        const char c = line[i];
        const int column = static_cast<int>(i) + 1;
        if (quote_) {
            if (c != quote_) {
                if (!appendWord(c, column))
                    return resetLine();
                continue;
            }
            quote_ = 0;
            if (!endWord() || !push(TokenKind::Quote, std::string(1, c), column))
                return resetLine();
            continue;
        }
        if (tokens_.empty()) {
            if (c == '<') {
                flushText();
                push(TokenKind::Open, "<", column);
            } else if (c == '>') {
                // Lexing goes on in the same line, the bracket dropped.
                recordHere(TagStatus::StrayCloseBracket, i + 1, column);
            } else if (!appendText(c, column)) {
                return resetLine();
            }
            continue;
        }
        bool ok = true;
        switch (c) {
        case ' ':
        case '\t':
        case '\r':
        case '\n':
            ok = endWord();
            break;
        case '<':
            // The tag before was never closed: its tokens are dropped and
            // the new tag is read on.
            recordHere(TagStatus::UnclosedTag, i + 1, column);
            tokens_.clear();
            word_.clear();
            push(TokenKind::Open, "<", column);
            break;
        case '/':
        case '=':
            ok = endWord() && push(c == '/' ? TokenKind::Slash : TokenKind::Equals, std::string(1, c), column);
            break;
        case '"':
        case '\'':
            ok = endWord() && push(TokenKind::Quote, std::string(1, c), column);
            quote_ = c;
            quoteColumn_ = column;
            break;
        case '>':
            ok = endWord() && push(TokenKind::Close, ">", column) && closeTag(i + 1);
            break;
        default:
            ok = appendWord(c, column);
            break;
        }
        if (!ok)
            return resetLine();
    }
    if (line.size() > limit) {
        recordHere(TagStatus::TooLarge, limit, static_cast<int>(limit) + 1);
        return resetLine();
    }
    if (quote_) {
        recordHere(TagStatus::UnterminatedQuote, line.size(), quoteColumn_);
        return resetLine();
    }
    // A line break ends a word; an unfinished tag goes on on the next line.
    if (!tokens_.empty()) {
        if (!endWord())
            resetLine();
    } else {
        flushText();
    }
}

void TagReader::Lexer::endOfInput()
{
    if (!tokens_.empty()) {
        const Token& open = tokens_.front();
        std::string text;
        for (const Token& token : tokens_)
            text += token.text;
        reader_.record(TagStatus::UnclosedTag, text, open.line, open.column);
    }
    tokens_.clear();
}

bool TagReader::Lexer::closeTag(std::size_t detectedAt)
{
    std::optional<TagNode> node = reduce();
    if (!node) {
        diagnose(detectedAt);
        return false;
    }
    addNode(std::move(*node));
    tokens_.clear();
    return true;
}

// A well-formed tag is "<" name attributes ">" (start tag), "<" "/" name
// attributes ">" (end tag) or "<" name attributes "/" ">" (single tag), where
// an attribute is name "=" quote [value] quote.
std::optional<TagNode> TagReader::Lexer::reduce() const
{
    const std::vector<Token>& t = tokens_;
    const std::size_t n = t.size();
    auto is = [&](std::size_t k, TokenKind kind) { return k < n && t[k].kind == kind; };

    std::size_t i = 1;
    bool endTag = false;
    if (is(i, TokenKind::Slash)) {
        endTag = true;
        ++i;
    }
    if (!is(i, TokenKind::Word))
        return std::nullopt;
    TagNode node;
    node.name = cutCp932(t[i].text, NameLimit);
    node.line = t[0].line;
    node.column = t[0].column;
    ++i;
    while (is(i, TokenKind::Word) && is(i + 1, TokenKind::Equals) && is(i + 2, TokenKind::Quote)) {
        if (is(i + 3, TokenKind::Quote)) {
            node.attributes.push_back({cutCp932(t[i].text, NameLimit), {}});
            i += 4;
        } else if (is(i + 3, TokenKind::Word) && is(i + 4, TokenKind::Quote)) {
            node.attributes.push_back({cutCp932(t[i].text, NameLimit), t[i + 3].text});
            i += 5;
        } else {
            return std::nullopt;
        }
    }
    if (is(i, TokenKind::Close) && i + 1 == n) {
        node.kind = endTag ? TagNode::Kind::End : TagNode::Kind::Start;
        return node;
    }
    if (!endTag && is(i, TokenKind::Slash) && is(i + 1, TokenKind::Close) && i + 2 == n) {
        node.kind = TagNode::Kind::Single;
        return node;
    }
    return std::nullopt;
}

// Groups the tokens of a tag that did not reduce into the parts a person
// writes (tag heads, attributes, and the known ways of getting them wrong),
// then records the first two faulty parts from the left.
void TagReader::Lexer::diagnose(std::size_t detectedAt)
{
    const std::vector<Token>& t = tokens_;
    const std::size_t n = t.size();
    auto is = [&](std::size_t k, TokenKind kind) { return k < n && t[k].kind == kind; };

    int recorded = 0;
    std::size_t i = 0;
    while (i < n && recorded < 2) {
        Symbol symbol = Symbol::Harmless;
        std::size_t length = 1;
        switch (t[i].kind) {
        case TokenKind::Open:
            if (is(i + 1, TokenKind::Slash)) {
                if (is(i + 2, TokenKind::Slash))
                    symbol = Symbol::DoubledSlash, length = 3;
                else if (is(i + 2, TokenKind::Word))
                    length = 3;
                else
                    symbol = Symbol::MissingTagName, length = 2;
            } else if (is(i + 1, TokenKind::Word)) {
                length = 2;
            } else {
                // "<" followed by a quote, "=", ">" or nothing.
                symbol = Symbol::MissingTagName;
            }
            break;
        case TokenKind::Slash:
            if (is(i + 1, TokenKind::Slash))
                symbol = Symbol::DoubledSlash, length = is(i + 2, TokenKind::Close) ? 3 : 2;
            else if (is(i + 1, TokenKind::Close))
                length = 2;
            else
                symbol = Symbol::Slash;
            break;
        case TokenKind::Equals:
            if (is(i + 1, TokenKind::Equals))
                symbol = Symbol::DoubledEquals, length = 2;
            else if (is(i + 1, TokenKind::Quote) && is(i + 2, TokenKind::Quote))
                symbol = Symbol::MissingAttributeName, length = 3;
            else if (is(i + 1, TokenKind::Quote) && is(i + 2, TokenKind::Word) && is(i + 3, TokenKind::Quote))
                symbol = Symbol::MissingAttributeName, length = 4;
            break;
        case TokenKind::Quote:
            if (is(i + 1, TokenKind::Quote))
                symbol = Symbol::BadAttribute, length = 2;
            else if (is(i + 1, TokenKind::Word) && is(i + 2, TokenKind::Quote))
                symbol = Symbol::BadAttribute, length = 3;
            break;
        case TokenKind::Word:
            if (is(i + 1, TokenKind::Equals)) {
                if (is(i + 2, TokenKind::Quote) && is(i + 3, TokenKind::Quote))
                    length = 4;
                else if (is(i + 2, TokenKind::Quote) && is(i + 3, TokenKind::Word) && is(i + 4, TokenKind::Quote))
                    length = 5;
                else if (is(i + 2, TokenKind::Quote) && is(i + 3, TokenKind::Word))
                    symbol = Symbol::UnquotedValue, length = 4;
                else if (is(i + 2, TokenKind::Word))
                    symbol = Symbol::UnquotedValue, length = 3;
                else if (is(i + 2, TokenKind::Equals))
                    length = 1; // the name before "==", which is reported next
                else
                    symbol = Symbol::MissingValue, length = 2;
            } else if (is(i + 1, TokenKind::Quote) && is(i + 2, TokenKind::Quote)) {
                symbol = Symbol::MissingEquals, length = 3;
            } else if (is(i + 1, TokenKind::Quote) && is(i + 2, TokenKind::Word) && is(i + 3, TokenKind::Quote)) {
                symbol = Symbol::MissingEquals, length = 4;
            } else if (is(i + 1, TokenKind::Word)) {
                symbol = Symbol::BadAttribute, length = 2;
            } else {
                symbol = Symbol::Word;
            }
            break;
        case TokenKind::Close:
            break;
        }
        std::string text;
        for (std::size_t k = i; k < i + length && k < n; ++k)
            text += t[k].text;
        if (std::optional<TagStatus> status = symbolStatus(symbol, text)) {
            reader_.record(*status, text, t[i].line, t[i].column);
            ++recorded;
        }
        i += length;
    }
    if (recorded == 0)
        reader_.record(
            TagStatus::MalformedTag, line_.substr(0, std::min(detectedAt, line_.size())), t[0].line, t[0].column);
    tokens_.clear();
}

// Pairs start and end tags of the flat node list into the tree, and checks
// every tag name against the tag table.
class TagReader::Pairing {
public:
    Pairing(TagReader& reader, std::vector<TagNode>& flat)
        : reader_(reader)
        , flat_(flat)
    {
        // A start tag's end tag is the first later end tag of its name at
        // which the same-named start and end tags in between balance: the
        // bracket matching of each name on its own.
        partner_.assign(flat.size(), None);
        claimed_.assign(flat.size(), false);
        std::map<std::string, std::vector<std::size_t>> open;
        for (std::size_t i = 0; i < flat.size(); ++i) {
            if (flat[i].kind == TagNode::Kind::Start) {
                open[flat[i].name].push_back(i);
            } else if (flat[i].kind == TagNode::Kind::End) {
                auto found = open.find(flat[i].name);
                if (found != open.end() && !found->second.empty()) {
                    partner_[found->second.back()] = i;
                    found->second.pop_back();
                }
            }
        }
    }

    void pair(std::size_t begin, std::size_t end, std::vector<TagNode>& out, int depth);

private:
    static constexpr std::size_t None = static_cast<std::size_t>(-1);

    void report(TagStatus status, const TagNode& node)
    {
        std::string text;
        switch (node.kind) {
        case TagNode::Kind::Start:
            text = "<" + node.name + ">";
            break;
        case TagNode::Kind::End:
            text = "</" + node.name + ">";
            break;
        case TagNode::Kind::Single:
            text = "<" + node.name + "/>";
            break;
        case TagNode::Kind::Text:
            text = node.text;
            break;
        }
        reader_.record(status, text, node.line, node.column);
    }

    TagReader& reader_;
    std::vector<TagNode>& flat_;
    std::vector<std::size_t> partner_;
    std::vector<bool> claimed_;
};

void TagReader::Pairing::pair(std::size_t begin, std::size_t end, std::vector<TagNode>& out, int depth)
{
    std::size_t i = begin;
    while (i < end) {
        TagNode& node = flat_[i];
        const TagStatus nameStatus = reader_.nameStatus(node);
        switch (node.kind) {
        case TagNode::Kind::Text:
            out.push_back(std::move(node));
            ++i;
            break;
        case TagNode::Kind::Single:
            if (nameStatus != TagStatus::Ok)
                report(nameStatus, node);
            out.push_back(std::move(node));
            ++i;
            break;
        case TagNode::Kind::End:
            if (!claimed_[i])
                report(nameStatus != TagStatus::Ok ? nameStatus : TagStatus::NoStartTag, node);
            ++i;
            break;
        case TagNode::Kind::Start: {
            const std::size_t partner = partner_[i];
            if (partner == None || partner >= end) {
                // Without its end tag inside this level the element stays
                // empty; what follows it is read as its siblings.
                if (partner != None)
                    claimed_[partner] = true;
                TagStatus status = partner == None ? TagStatus::NoEndTag : TagStatus::EndTagOutside;
                report(nameStatus != TagStatus::Ok ? nameStatus : status, node);
                out.push_back(std::move(node));
                ++i;
                break;
            }
            if (nameStatus != TagStatus::Ok)
                report(nameStatus, node);
            if (depth >= DepthLimit) {
                report(TagStatus::TooLarge, node);
            } else {
                pair(i + 1, partner, node.children, depth + 1);
                out.push_back(std::move(node));
            }
            i = partner + 1;
            break;
        }
        }
    }
}

void TagReader::reset()
{
    nodes_.clear();
    errors_.clear();
    lastRecorded_ = TagStatus::Ok;
}

void TagReader::record(TagStatus status, std::string_view text, int line, int column)
{
    if (errors_.size() >= MaxErrors)
        return;
    errors_.push_back({status, tailCp932(text, ErrorTextLimit), line, column});
    lastRecorded_ = status;
}

TagStatus TagReader::nameStatus(const TagNode& node) const
{
    if (node.kind == TagNode::Kind::Text)
        return TagStatus::Ok;
    for (const TagName& entry : table_) {
        if (entry.name != node.name)
            continue;
        switch (node.kind) {
        case TagNode::Kind::Start:
            return entry.kind == TagKind::Single ? TagStatus::NotStartTag : TagStatus::Ok;
        case TagNode::Kind::End:
            return entry.kind == TagKind::Single ? TagStatus::NotEndTag : TagStatus::Ok;
        case TagNode::Kind::Single:
            return entry.kind == TagKind::Paired ? TagStatus::NotSingleTag : TagStatus::Ok;
        case TagNode::Kind::Text:
            break;
        }
        return TagStatus::Ok;
    }
    const std::string lower = asciiLower(node.name);
    for (const TagName& entry : table_) {
        if (entry.name == lower)
            return TagStatus::UpperCaseTagName;
    }
    return TagStatus::UnknownTagName;
}

TagStatus TagReader::finish(std::vector<TagNode>&& flat)
{
    Pairing pairing(*this, flat);
    pairing.pair(0, flat.size(), nodes_, 0);
    return errors_.empty() ? TagStatus::Ok : lastRecorded_;
}

TagStatus TagReader::parseFile(std::string_view path)
{
    reset();
    FilePtr file = openRegularFile(path);
    if (!file)
        return TagStatus::CannotOpen;
    // Configuration files are small; a huge one is refused before its tree
    // could take the memory of the machine.
    struct stat info { };
    if (::fstat(::fileno(file.get()), &info) == 0 && info.st_size > kMaxFileBytes) {
        record(TagStatus::TooLarge,
            cp932Printf(
                "%lld bytes > MAX %lld", static_cast<long long>(info.st_size), static_cast<long long>(kMaxFileBytes)),
            0, 0);
        return TagStatus::TooLarge;
    }
    try {
        return parseStream(file.get());
    } catch (const std::bad_alloc&) {
        reset();
        record(TagStatus::OutOfMemory, "", 0, 0);
        return TagStatus::OutOfMemory;
    }
}

TagStatus TagReader::parseStream(std::FILE* stream)
{
    Lexer lexer(*this);
    std::string line;
    bool overflow = false; // the line is longer than the reader takes
    int lineNumber = 0;
    bool pending = false;
    int c;
    auto endLine = [&]() {
        if (!overflow && !line.empty() && line.back() == '\r')
            line.pop_back();
        lexer.lexLine(line, ++lineNumber);
        line.clear();
        overflow = false;
        pending = false;
    };
    while ((c = std::getc(stream)) != EOF) {
        if (c == '\n') {
            endLine();
            continue;
        }
        pending = true;
        if (line.size() <= LineLimit)
            line += static_cast<char>(c);
        else
            overflow = true;
    }
    if (pending)
        endLine();
    if (std::ferror(stream)) {
        // A file that cannot be read to its end gives no tree at all.
        reset();
        return TagStatus::Internal;
    }
    lexer.endOfInput();
    return finish(std::move(lexer.flat));
}

TagStatus TagReader::parseLines(const std::vector<std::string>& lines)
{
    reset();
    Lexer lexer(*this);
    int lineNumber = 0;
    for (const std::string& line : lines) {
        std::string_view text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        lexer.lexLine(text, ++lineNumber);
    }
    lexer.endOfInput();
    return finish(std::move(lexer.flat));
}

} // namespace tavik
