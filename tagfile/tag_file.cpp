#include "tagfile/tag_file.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tagfile/schema_validator.h"

namespace tavik {

Cp932Text tagErrorLines(const std::vector<TagError>& errors)
{
    Cp932Text lines;
    for (const TagError& error : errors)
        lines += cp932Printf("line: %d   column: %d   %s \n %s\n", error.line, error.column, error.text.c_str(),
            tagStatusMessage(error.status).c_str());
    return lines;
}

TagFileContent readTagFile(std::string_view path, const std::vector<TagName>& tagTable,
    const std::vector<ChildRule>& schema, const TagFileTitles& titles, MessageSink& sink)
{
    TagFileContent content;
    TagReader reader;
    reader.setTagTable(tagTable);
    content.status = reader.parseFile(path);
    const std::string pathText(path);
    if (!content.parsed()) {
        Cp932Text text = cp932Printf("%s  %s\n", pathText.c_str(), titles.parseError.c_str());
        text += tagErrorLines(reader.errors());
        sink.show({titles.parseError, text, MessageIcon::Stop});
        return content;
    }
    content.nodes = reader.takeNodes();
    Cp932Text text = cp932Printf("%s  %s\n", pathText.c_str(), titles.load.c_str());
    SchemaValidator validator;
    content.valid = validator.validate(content.nodes, schema, text);
    if (!content.valid)
        sink.show({titles.load, text, MessageIcon::Exclamation});
    return content;
}

} // namespace tavik
