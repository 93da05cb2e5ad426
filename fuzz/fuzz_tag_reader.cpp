// The tag reader and the schema validator against every file type's schema:
// results of the list, at most ten errors and a stop after ten findings.
#include "fuzz/fuzz_support.h"
#include "tagfile/schema_validator.h"
#include "tagfile/tag_reader.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/painter_config.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines = fuzz::lines(fuzz::asText(data, size));
    const std::vector<TagName>* tables[]
        = {&BlankMap::tagTable(), &PainterConfig::tagTable(), &PrintFormList::tagTable()};
    const std::vector<ChildRule>* schemas[] = {&BlankMap::schema(), &PainterConfig::schema(), &PrintFormList::schema()};
    for (int i = 0; i < 3; ++i) {
        TagReader reader;
        reader.setTagTable(*tables[i]);
        TagStatus status = reader.parseLines(lines);
        FUZZ_CHECK(reader.errors().size() <= 10);
        if (status != TagStatus::Ok)
            continue;
        SchemaValidator validator;
        Cp932Text messages;
        validator.validate(reader.nodes(), *schemas[i], messages);
        FUZZ_CHECK(validator.findings() <= SchemaValidator::MaxFindings + 1);
    }
    return 0;
}
