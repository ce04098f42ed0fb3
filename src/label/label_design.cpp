#include "label/label_design.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qvt {

std::string_view kindName(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Field: return "Alan";
    case ElementKind::Text: return "Yazi";
    case ElementKind::Line: return "Cizgi";
    case ElementKind::Barcode: return "Barkod";
    }
    return {};
}

std::optional<ElementKind> kindFromName(std::string_view name)
{
    for (ElementKind k : {ElementKind::Field, ElementKind::Text, ElementKind::Line, ElementKind::Barcode})
        if (kindName(k) == name)
            return k;
    return std::nullopt;
}

int Tbase::variableSlots() const
{
    switch (kind()) {
    case ElementKind::Field: return 1;
    case ElementKind::Barcode: return 2;
    default: return 0;
    }
}

std::unique_ptr<Tbase> makeElement(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Field: return std::make_unique<TAlan>();
    case ElementKind::Text: return std::make_unique<TYazi>();
    case ElementKind::Line: return std::make_unique<TCizgi>();
    case ElementKind::Barcode: return std::make_unique<TBarKod>();
    }
    return nullptr;
}

TLettered* lettered(Tbase& element)
{
    return element.kind() == ElementKind::Line ? nullptr : static_cast<TLettered*>(&element);
}

const TLettered* lettered(const Tbase& element)
{
    return element.kind() == ElementKind::Line ? nullptr : static_cast<const TLettered*>(&element);
}

namespace {
template <size_t N>
bool listed(const std::array<std::string_view, N>& list, std::string_view name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}
} // namespace

bool isLabelType(std::string_view name) { return listed(kLabelTypes, name); }
bool isDirection(std::string_view name) { return listed(kDirections, name); }
bool isBarcodeType(std::string_view name) { return listed(kBarcodeTypes, name); }

std::optional<std::pair<int, int>> labelSizeMm(std::string_view labelType)
{
    if (!isLabelType(labelType))
        return std::nullopt;
    std::string_view numbers = labelType.substr(2);
    size_t x = numbers.find('x');
    int first = 0, second = 0;
    std::from_chars(numbers.data(), numbers.data() + x, first);
    std::from_chars(numbers.data() + x + 1, numbers.data() + numbers.size(), second);
    return std::pair{first, second};
}

std::optional<std::pair<int, int>> surfaceSizeOf(std::string_view labelType, std::string_view direction,
                                                 double pixelsPerMm)
{
    auto mm = labelSizeMm(labelType);
    if (!mm)
        return std::nullopt;
    // nearbyint rounds in the default mode, halves to the even neighbour.
    int width = int(std::nearbyint(mm->second * pixelsPerMm));
    int height = int(std::nearbyint(mm->first * pixelsPerMm));
    if (direction == "Vertical")
        std::swap(width, height);
    return std::pair{width, height};
}

LabelDesign::LabelDesign(const LabelDesign& other)
    : LabelType(other.LabelType), Direction(other.Direction), BarcodeType(other.BarcodeType),
      SurfaceWidth(other.SurfaceWidth), SurfaceHeight(other.SurfaceHeight)
{
    Elements.reserve(other.Elements.size());
    for (const auto& e : other.Elements)
        Elements.push_back(e->clone());
}

LabelDesign& LabelDesign::operator=(const LabelDesign& other)
{
    if (this != &other) {
        LabelDesign copy(other);
        *this = std::move(copy);
    }
    return *this;
}

int LabelDesign::VariableSlots() const
{
    int slots = 0;
    for (const auto& e : Elements)
        slots += e->variableSlots();
    return slots;
}

bool LabelDesign::CanAdd(ElementKind kind) const
{
    if (int(Elements.size()) >= kMaxLabelElements)
        return false;
    int need = kind == ElementKind::Field ? 1 : kind == ElementKind::Barcode ? 2 : 0;
    return VariableSlots() + need <= kMaxVariableSlots;
}

namespace {

// Only the string, integer and float variables (1 to 100) can be printed.
template <typename Match, typename Result>
std::string lookup(const VariableTable& table, std::string_view argument, Match match, Result result)
{
    for (int i = kFirstString; i <= kLastFloat; ++i)
        if (match(table[i]) == argument)
            return result(table[i]);
    return std::string(argument);
}

} // namespace

std::string DefaultNameOf(const VariableTable& table, std::string_view currentName)
{
    return lookup(table, currentName, [](const VariableEntry& e) -> const std::string& { return e.name; },
                  [](const VariableEntry& e) { return e.defaultName; });
}

std::string CurrentNameOf(const VariableTable& table, std::string_view defaultName)
{
    return lookup(table, defaultName, [](const VariableEntry& e) -> const std::string& { return e.defaultName; },
                  [](const VariableEntry& e) { return e.name; });
}

std::string InitialValueOf(const VariableTable& table, std::string_view defaultName)
{
    return lookup(table, defaultName, [](const VariableEntry& e) -> const std::string& { return e.defaultName; },
                  [](const VariableEntry& e) { return e.initialValue; });
}

Tbase& addElement(LabelDesign& design, ElementKind kind, int x, int y, int x1, int y1, std::string text, int font)
{
    auto element = makeElement(kind);
    element->X = x;
    element->Y = y;
    element->X1 = x1;
    element->Y1 = y1;
    if (TLettered* l = lettered(*element)) {
        l->Text = std::move(text);
        l->FontNo = font;
    }
    design.Elements.push_back(std::move(element));
    return *design.Elements.back();
}

} // namespace qvt
