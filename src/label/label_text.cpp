#include "label/label_text.h"

#include "core/decimal.h"
#include "core/text_escaping.h"

namespace qvt {

std::string encodeLabelValue(std::string_view value)
{
    return StoreText(value);
}

std::string decodeLabelValue(std::string_view value)
{
    return RestoreText(value);
}

std::optional<int> parseLabelNumber(std::string_view value)
{
    return ParseDecimal(value);
}

LabelFieldReader::LabelFieldReader(std::string_view labelText)
{
    // The end marker is the last "#2": the builder writes it last, and a
    // text value may itself hold "#2" (which must not cut the label short).
    size_t start = labelText.find("#1");
    size_t end = labelText.rfind("#2");
    if (end == std::string_view::npos)
        return;
    // A missing start marker counts as standing just before the text, so the
    // fields are looked for from the second byte on.
    size_t from = start == std::string_view::npos ? 1 : start + 2;
    if (start != std::string_view::npos && end <= start)
        return;
    readable_ = true;
    rest_ = from < end ? labelText.substr(from, end - from) : std::string_view();
}

std::optional<LabelFieldReader::Found> LabelFieldReader::find(std::string_view key) const
{
    size_t backslash = rest_.find('\\');
    if (backslash == std::string_view::npos)
        return std::nullopt;
    // "#key=" counts only when it begins before the backslash that ends the
    // next field, so it must lie wholly in front of it.
    std::string pattern;
    pattern.reserve(key.size() + 2);
    pattern += '#';
    pattern += key;
    pattern += '=';
    size_t at = rest_.substr(0, backslash).find(pattern);
    if (at == std::string_view::npos)
        return std::nullopt;
    size_t valueStart = at + pattern.size();
    return Found{rest_.substr(valueStart, backslash - valueStart), backslash + 1};
}

int LabelFieldReader::number(std::string_view key)
{
    auto found = find(key);
    if (!found)
        return 0;
    auto value = parseLabelNumber(found->value);
    if (!value)
        return 0;
    rest_.remove_prefix(found->consumed);
    return *value;
}

std::string LabelFieldReader::text(std::string_view key)
{
    auto found = find(key);
    if (!found)
        return {};
    std::string value = decodeLabelValue(found->value);
    rest_.remove_prefix(found->consumed);
    return value;
}

namespace {

void field(std::string& out, std::string_view key, std::string_view text)
{
    out += '#';
    out += key;
    out += '=';
    out += encodeLabelValue(text);
    out += '\\';
}

void field(std::string& out, std::string_view key, int number)
{
    out += '#';
    out += key;
    out += '=';
    out += std::to_string(number);
    out += '\\';
}

} // namespace

std::string BuildLabelText(const LabelDesign& design, const VariableTable& variables)
{
    std::string out = "#1";
    field(out, "cnt", int(design.Elements.size()));
    field(out, "DegiskenCnt", design.VariableSlots());
    field(out, "EtiketTipi", design.LabelType);
    field(out, "EtiketYon", design.Direction);
    field(out, "BarkodTipi", design.BarcodeType);
    field(out, "width", design.SurfaceWidth);
    field(out, "height", design.SurfaceHeight);
    for (const auto& element : design.Elements) {
        field(out, "Tip", kindName(element->kind()));
        if (const TLettered* l = lettered(*element)) {
            if (element->kind() == ElementKind::Text)
                field(out, "yazi", l->Text);
            else
                field(out, "alan", DefaultNameOf(variables, l->Text));
            field(out, "font", l->FontNo);
        }
        field(out, "x", element->X);
        field(out, "y", element->Y);
        field(out, "x1", element->X1);
        field(out, "y1", element->Y1);
    }
    out += "#2";
    return out;
}

bool LoadLabelText(std::string_view labelText, LabelDesign& design, const VariableTable& variables,
                   Messages& messages)
{
    design.clearElements();
    LabelFieldReader reader(labelText);
    int count = reader.number("cnt");
    reader.number("DegiskenCnt");  // the slots follow from the elements
    if (std::string type = reader.text("EtiketTipi"); isLabelType(type))
        design.LabelType = type;
    if (std::string direction = reader.text("EtiketYon"); isDirection(direction))
        design.Direction = direction;
    if (std::string barcode = reader.text("BarkodTipi"); isBarcodeType(barcode))
        design.BarcodeType = barcode;
    design.SurfaceWidth = reader.number("width");
    design.SurfaceHeight = reader.number("height");

    for (int i = 0; i < count; ++i) {
        auto kind = kindFromName(reader.text("Tip"));
        if (!kind || !design.CanAdd(*kind)) {
            messages.ShowError(kLabelFileOpenError);
            return false;
        }
        std::unique_ptr<Tbase> element = makeElement(*kind);
        if (TLettered* l = lettered(*element)) {
            l->Text = *kind == ElementKind::Text ? reader.text("yazi") : CurrentNameOf(variables, reader.text("alan"));
            l->FontNo = reader.number("font");
        }
        element->X = reader.number("x");
        element->Y = reader.number("y");
        element->X1 = reader.number("x1");
        element->Y1 = reader.number("y1");
        design.Elements.push_back(std::move(element));
    }
    return true;
}

} // namespace qvt
