#include "viewer/print/print_form.h"

#include "platform/cp932.h"
#include "platform/text_numbers.h"

#include <algorithm>

namespace tavik {

IntegerField IntegerField::fromText(std::string_view text)
{
    IntegerField field;
    field.text = cutCp932(text, TextLimit);
    field.value = parseInteger(field.text);
    return field;
}

RealField RealField::fromText(std::string_view text)
{
    RealField field;
    field.text = cutCp932(text, TextLimit);
    field.value = std::clamp(parseReal(field.text), -MaxValue, MaxValue);
    return field;
}

IntegerField PrintForm::countFromText(std::string_view text)
{
    IntegerField field = IntegerField::fromText(text);
    field.value = std::clamp(field.value, 1, MaxCells);
    return field;
}

PrintForm PrintForm::builtIn()
{
    PrintForm form;
    form.title = "default";
    form.rows = countFromText("1");
    form.columns = countFromText("1");
    form.pagingLevel = IntegerField::fromText("-1");
    form.leftMargin = RealField::fromText("30.0");
    form.rightMargin = RealField::fromText("30.0");
    form.topMargin = RealField::fromText("30.0");
    form.bottomMargin = RealField::fromText("30.0");
    form.horizontalGap = RealField::fromText("30.0");
    form.verticalGap = RealField::fromText("30.0");
    form.pageHeader.topOffset = RealField::fromText("5.0");
    form.mapTitle.topOffset = RealField::fromText("10.0");
    form.pageFooter.topOffset = RealField::fromText("5.0");
    for (TextBlock* block : {&form.pageHeader, &form.mapTitle, &form.pageFooter}) {
        block->leftProtrusion = RealField::fromText("0.0");
        block->rightProtrusion = RealField::fromText("0.0");
    }
    return form;
}

} // namespace tavik
