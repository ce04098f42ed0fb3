#pragma once

#include "core/project_state.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qvt {

// Elements of a printed label. Coordinates are pixels of the label window's
// drawing surface, which the label compiler takes one-to-one as printer
// units: (X, Y) is the lower-left corner and (X1, Y1) the upper-right one, so
// normally X1 >= X and Y1 <= Y. Painting is the label window's business; the
// elements only carry what every file stores.

enum class ElementKind { Field, Text, Line, Barcode };

// "Alan", "Yazi", "Cizgi", "Barkod": the kind's name in the label text and in
// the label design file ("Tip").
std::string_view kindName(ElementKind kind);
std::optional<ElementKind> kindFromName(std::string_view name);

class Tbase {
public:
    virtual ~Tbase() = default;
    virtual ElementKind kind() const = 0;
    virtual std::unique_ptr<Tbase> clone() const = 0;

    // Variable insertions the element needs in the compiled label: one for a
    // field, two for a barcode (its caption and its bars).
    int variableSlots() const;

    int X = 0;
    int Y = 0;
    int X1 = 0;
    int Y1 = 0;
    bool Selected = false;

protected:
    Tbase() = default;
    Tbase(const Tbase&) = default;
    Tbase& operator=(const Tbase&) = default;
};

// The elements that print letters: a printer font number and a text. For a
// field and a barcode the text is the current name of the variable.
class TLettered : public Tbase {
public:
    int FontNo = 3;
    std::string Text;
};

class TYazi final : public TLettered {
public:
    ElementKind kind() const override { return ElementKind::Text; }
    std::unique_ptr<Tbase> clone() const override { return std::make_unique<TYazi>(*this); }
};

class TAlan final : public TLettered {
public:
    ElementKind kind() const override { return ElementKind::Field; }
    std::unique_ptr<Tbase> clone() const override { return std::make_unique<TAlan>(*this); }
};

class TCizgi final : public Tbase {
public:
    ElementKind kind() const override { return ElementKind::Line; }
    std::unique_ptr<Tbase> clone() const override { return std::make_unique<TCizgi>(*this); }
};

class TBarKod final : public TLettered {
public:
    ElementKind kind() const override { return ElementKind::Barcode; }
    std::unique_ptr<Tbase> clone() const override { return std::make_unique<TBarKod>(*this); }
};

// A new element of the kind with everything at its defaults.
std::unique_ptr<Tbase> makeElement(ElementKind kind);
// The element's font number and text, or nullptr for a line.
TLettered* lettered(Tbase& element);
const TLettered* lettered(const Tbase& element);
class LabelDesign;
// Appends a new element with its position; `text` and `font` are ignored for a line.
Tbase& addElement(LabelDesign& design, ElementKind kind, int x, int y, int x1, int y1, std::string text = {},
                  int font = 3);

// The compiled label has room for 30 insertions; the window stops at 100 elements.
inline constexpr int kMaxLabelElements = 100;
inline constexpr int kMaxVariableSlots = 30;

// Label sizes in the order the window lists them: "Et", width in mm, "x", height in mm.
inline constexpr std::array<std::string_view, 12> kLabelTypes = {
    "Et40x20", "Et30x60", "Et45x85", "Et50x35", "Et50x50", "Et60x60",
    "Et60x100", "Et60x140", "Et80x100", "Et85x120", "Et100x125", "Et125x100"};
inline constexpr std::array<std::string_view, 2> kDirections = {"Horizontal", "Vertical"};
inline constexpr std::array<std::string_view, 2> kBarcodeTypes = {"ITF25", "CODE39"};

bool isLabelType(std::string_view name);
bool isDirection(std::string_view name);
bool isBarcodeType(std::string_view name);

// The two millimetre numbers of a size name ("Et60x100" gives 60 and 100).
std::optional<std::pair<int, int>> labelSizeMm(std::string_view labelType);
// The drawing surface for a size: width from the second number and height from
// the first, exchanged for "Vertical"; millimetres times pixelsPerMm, rounded
// half to even. Nullopt for a name that is not a size.
std::optional<std::pair<int, int>> surfaceSizeOf(std::string_view labelType, std::string_view direction,
                                                 double pixelsPerMm);

class LabelDesign {
public:
    LabelDesign() = default;
    LabelDesign(const LabelDesign& other);
    LabelDesign& operator=(const LabelDesign& other);
    LabelDesign(LabelDesign&&) = default;
    LabelDesign& operator=(LabelDesign&&) = default;

    // Drawing order, and the order in every file.
    std::vector<std::unique_ptr<Tbase>> Elements;
    // A new design shows the window's first entries.
    std::string LabelType = "Et40x20";
    std::string Direction = "Horizontal";
    std::string BarcodeType = "ITF25";
    int SurfaceWidth = 0;
    int SurfaceHeight = 0;

    // Variable insertions the elements need. Always counted from the elements,
    // so a slot count stored in a file can never disagree with them.
    int VariableSlots() const;
    // Whether one more element of the kind stays within 100 elements and 30 slots.
    bool CanAdd(ElementKind kind) const;
    void clearElements() { Elements.clear(); }
};

// Elements refer to variables 1 to 100 (strings, integers, floats): in memory
// by current name, in every file by default name. Each lookup takes the first
// matching entry from 1 upwards and gives back its argument when none matches.
std::string DefaultNameOf(const VariableTable& table, std::string_view currentName);
std::string CurrentNameOf(const VariableTable& table, std::string_view defaultName);
std::string InitialValueOf(const VariableTable& table, std::string_view defaultName);

} // namespace qvt
