#include "label/label_design_file.h"

#include "label/label_text.h"
#include "core/text_escaping.h"

#include <QFile>

namespace qvt {

namespace {

std::string_view withoutBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Kind and property names are words: files edited by hand as "Tip = Alan"
// read as Windows programs read them, with the blanks around the value gone.
std::optional<std::string> word(const IniFile& file, std::string_view section, std::string_view key)
{
    auto value = file.value(section, key);
    if (!value)
        return std::nullopt;
    return std::string(withoutBlanks(*value));
}

std::string propertyOr(const IniFile& file, std::string_view key, std::string_view fallback,
                       bool (*listed)(std::string_view))
{
    auto value = word(file, "ETIKET", key);
    return value && listed(*value) ? *value : std::string(fallback);
}

// The variable's current name. Texts keep their blanks, but a default name
// never has any, so one typed with blanks around it still finds its variable.
std::string variableOf(const IniFile& file, std::string_view section, const VariableTable& variables)
{
    const std::string stored = RestoreText(file.text(section, "alan", "int01"), Backslashes::Kept);
    const std::string_view bare = withoutBlanks(stored);
    auto isDefaultName = [&](std::string_view name) {
        for (int i = kFirstString; i <= kLastFloat; ++i)
            if (variables[i].defaultName == name)
                return true;
        return false;
    };
    if (bare.size() != stored.size() && !isDefaultName(stored) && isDefaultName(bare))
        return CurrentNameOf(variables, bare);
    return CurrentNameOf(variables, stored);
}

} // namespace

void ExportDesign(const LabelDesign& design, IniFile& file, const VariableTable& variables)
{
    file.set("CNT", "Cnt", std::to_string(design.Elements.size()));
    file.set("DEGISKENCNT", "DegiskenCnt", std::to_string(design.VariableSlots()));
    file.set("ETIKET", "EtiketTipi", StoreText(design.LabelType, Backslashes::Kept));
    file.set("ETIKET", "EtiketYon", StoreText(design.Direction, Backslashes::Kept));
    file.set("ETIKET", "BarkodTipi", StoreText(design.BarcodeType, Backslashes::Kept));
    file.set("EBAT", "width", std::to_string(design.SurfaceWidth));
    file.set("EBAT", "height", std::to_string(design.SurfaceHeight));
    for (size_t i = 0; i < design.Elements.size(); ++i) {
        const Tbase& e = *design.Elements[i];
        const std::string section = std::to_string(i);
        file.set(section, "x", std::to_string(e.X));
        file.set(section, "y", std::to_string(e.Y));
        file.set(section, "x1", std::to_string(e.X1));
        file.set(section, "y1", std::to_string(e.Y1));
        file.set(section, "Tip", kindName(e.kind()));
        if (const TLettered* l = lettered(e)) {
            if (e.kind() == ElementKind::Text)
                file.set(section, "yazi", StoreText(l->Text, Backslashes::Kept));
            else
                file.set(section, "alan", StoreText(DefaultNameOf(variables, l->Text), Backslashes::Kept));
            file.set(section, "font", std::to_string(l->FontNo));
        }
    }
}

bool ExportDesign(const LabelDesign& design, const std::string& path, const VariableTable& variables,
                  Messages& messages)
{
    // A file that exists but cannot be read is left alone rather than replaced
    // by one that would lose its other sections.
    std::optional<IniFile> file = IniFile::load(path);
    if (!file) {
        if (QFile::exists(QString::fromLocal8Bit(path))) {
            messages.ShowError(kLabelFileSaveError);
            return false;
        }
        file.emplace();
    }
    ExportDesign(design, *file, variables);
    if (!file->save(path)) {
        messages.ShowError(kLabelFileSaveError);
        return false;
    }
    return true;
}

bool ImportDesign(LabelDesign& design, const IniFile& file, const VariableTable& variables)
{
    design.clearElements();
    const int count = file.integer("CNT", "Cnt", 0);
    file.integer("DEGISKENCNT", "DegiskenCnt", 0);  // the slots follow from the elements
    design.LabelType = propertyOr(file, "EtiketTipi", "Et30x60", isLabelType);
    design.Direction = propertyOr(file, "EtiketYon", "Horizontal", isDirection);
    design.BarcodeType = propertyOr(file, "BarkodTipi", "ITF25", isBarcodeType);
    if (count > kMaxLabelElements)
        return false;

    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        auto kind = kindFromName(word(file, section, "Tip").value_or(""));
        if (!kind || !design.CanAdd(*kind))
            return false;
        std::unique_ptr<Tbase> element = makeElement(*kind);
        element->X = file.integer(section, "x", 0);
        element->Y = file.integer(section, "y", 0);
        element->X1 = file.integer(section, "x1", 10);
        element->Y1 = file.integer(section, "y1", 10);
        if (TLettered* l = lettered(*element)) {
            if (*kind == ElementKind::Text)
                l->Text = RestoreText(file.text(section, "yazi", "Talvek"), Backslashes::Kept);
            else
                l->Text = variableOf(file, section, variables);
            l->FontNo = file.integer(section, "font", 3);
        }
        design.Elements.push_back(std::move(element));
    }
    return true;
}

bool ImportDesign(LabelDesign& design, const std::string& path, const VariableTable& variables,
                  Messages& messages)
{
    std::optional<IniFile> file = IniFile::load(path);
    if (!file || !ImportDesign(design, *file, variables)) {
        if (!file)
            design.clearElements();
        messages.ShowError(kLabelFileOpenError);
        return false;
    }
    return true;
}

} // namespace qvt
