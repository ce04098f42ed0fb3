#include "label/label_compiler.h"

#include "label/argox_stream.h"
#include "label/label_design.h"
#include "label/label_text.h"

namespace qvt {

namespace {

// Value kind and number of a variable's default name: "str01" is string 0,
// "int50" integer 49, "flt20" float 19. The number is whatever stands at the
// fourth and fifth characters, so a name cut to four ("int5") still names
// integer 5, as older label texts rely on. A name that is no such slot cannot
// be handed to the terminal, which would index past its variable tables.
bool insertionOf(std::string_view defaultName, unsigned char& kind, unsigned char& number)
{
    if (defaultName.empty())
        return false;
    int count = 0;
    switch (defaultName[0]) {
    case 's': kind = 2; count = kLastString - kFirstString + 1; break;
    case 'i': kind = 3; count = kLastInteger - kFirstInteger + 1; break;
    case 'f': kind = 4; count = kLastFloat - kFirstFloat + 1; break;
    default: return false;
    }
    std::optional<int> n = defaultName.size() > 3 ? parseLabelNumber(defaultName.substr(3, 2)) : std::nullopt;
    if (!n || *n < 1 || *n > count)
        return false;
    number = (unsigned char)(*n - 1);
    return true;
}

class Compilation {
public:
    Compilation(const VariableTable& variables, LabelMode mode) : variables_(variables), mode_(mode)
    {
        header_.assign(kLabelHeaderBytes, '\0');
    }

    bool run(std::string_view labelText, std::string& output)
    {
        LabelFieldReader reader(labelText);
        if (!reader.readable())
            return false;
        int count = reader.number("cnt");
        reader.number("DegiskenCnt");
        std::string labelType = reader.text("EtiketTipi");
        std::string direction = reader.text("EtiketYon");
        std::string barcodeType = reader.text("BarkodTipi");
        reader.number("width");
        const int64_t height = reader.number("height");

        argox_.BeginLabel(SizeCodeOf(labelType), barcodeType == "ITF25" ? 1 : 0, direction == "Horizontal" ? 2 : 1);

        for (int i = 0; i < count; ++i) {
            size_t before = reader.remaining();
            std::string kind = reader.text("Tip");
            std::string variable = "str01";
            std::string text;
            int font = 3;
            if (kind == "Alan" || kind == "Barkod") {
                variable = reader.text("alan");
                font = reader.number("font");
            } else if (kind == "Yazi") {
                text = reader.text("yazi");
                font = reader.number("font");
            }
            const int64_t x = reader.number("x");
            const int64_t y = reader.number("y");
            const int64_t x1 = reader.number("x1");
            const int64_t y1 = reader.number("y1");
            // Printer rows count from the bottom edge of the label.
            int64_t row = height - y;
            const int64_t row1 = height - y1;

            if (kind == "Alan") {
                if (!variableText(font, row, x, variable))
                    return false;
            } else if (kind == "Yazi") {
                if (!argox_.AddText(font, row, x, text))
                    return false;
            } else if (kind == "Cizgi") {
                argox_.AddLine(row, x, x1 - x, row1 - row);
            } else if (kind == "Barkod") {
                if (!variableText(font, row, x, variable))
                    return false;
                if (font == 4)
                    row += 5;
                const int64_t barsRow = row + 4 * int64_t(font);
                argox_.AddBarcode(barsRow, x, valueOf(variable), row1 - barsRow);
                if (mode_ == LabelMode::Image && !addInsertion(variable))
                    return false;
            }
            // A pass that consumed nothing read no kind and printed nothing;
            // every further pass would do exactly the same.
            if (reader.remaining() == before)
                break;
        }

        const std::string& stream = argox_.FinishLabel(1);
        if (mode_ == LabelMode::Print) {
            output = stream;
            return true;
        }
        header_[1] = char(stream.size() & 0xFF);
        header_[2] = char((stream.size() >> 8) & 0xFF);
        if (header_.size() + stream.size() > kMaxLabelDataBytes) {
            output = kLabelTooLarge;
            return false;
        }
        output = header_ + stream;
        return true;
    }

private:
    // In image mode the line carries no value; the terminal inserts it before
    // the line's CR, recorded in the header.
    bool variableText(int font, int64_t row, int64_t column, const std::string& variable)
    {
        if (!argox_.AddText(font, row, column, valueOf(variable)))
            return false;
        return mode_ == LabelMode::Print || addInsertion(variable);
    }

    std::string valueOf(const std::string& variable) const
    {
        return mode_ == LabelMode::Print ? InitialValueOf(variables_, variable) : std::string();
    }

    bool addInsertion(std::string_view variable)
    {
        unsigned char kind = 0, number = 0;
        if (entries_ >= kMaxInsertions || !insertionOf(variable, kind, number))
            return false;
        const size_t offset = argox_.Stream.size() - 1;
        char* entry = header_.data() + 3 + 4 * entries_;
        entry[0] = char(kind);
        entry[1] = char(number);
        entry[2] = char(offset & 0xFF);
        entry[3] = char((offset >> 8) & 0xFF);
        header_[0] = char(++entries_);
        return true;
    }

    const VariableTable& variables_;
    LabelMode mode_;
    TArgox argox_;
    std::string header_;
    int entries_ = 0;
};

} // namespace

bool CompileLabel(std::string_view labelText, const VariableTable& variables, LabelMode mode, std::string& output)
{
    output.clear();
    if (labelText.empty())
        return true;
    std::string result;
    Compilation compilation(variables, mode);
    bool ok = compilation.run(labelText, result);
    output = std::move(result);
    return ok;
}

bool CompileLabel(ProjectState& project, LabelMode mode, std::string& output)
{
    if (project.labelText.empty())
        project.labelData.clear();
    return CompileLabel(project.labelText, project.variables, mode, output);
}

bool CompileProjectLabel(ProjectState& project)
{
    std::string output;
    if (CompileLabel(project, LabelMode::Image, output)) {
        project.labelData = std::move(output);
        return true;
    }
    project.labelData = std::string(kLabelFileOpenError);
    if (!output.empty()) {
        project.labelData += '\r';
        project.labelData += output;
    }
    return false;
}

} // namespace qvt
