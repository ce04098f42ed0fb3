#pragma once

// What the property panel shows for an item and how it reads what is typed
// into it, without widgets: the rows of each kind (from the kind's field
// table), the variables each list offers, and the rules for numbers.

#include "core/project_state.h"
#include "model/item_fields.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

// One row of the panel for one item kind: the row, its caption and the fields
// of the kind behind it (Input Pos. has three, Input Type and Input Length
// share the packed input format).
struct PanelRowOf {
    PanelRow row = PanelRow::None;
    std::string_view caption;
    std::vector<const ItemField*> fields;
};

// The rows a kind shows, in panel order (top to bottom). Empty for Return and
// for a number that is no kind.
std::vector<PanelRowOf> PanelRows(std::int32_t kind);
// The entry of `rows` for `row`, null when the kind does not show it.
const PanelRowOf* FindPanelRow(const std::vector<PanelRowOf>& rows, PanelRow row);

// Indexes of the variables the list box of `row` (Target, Source, Source 2,
// Start or End) offers for `kind`, in index order. Index 0 is "Constant".
std::vector<int> VariableChoices(std::int32_t kind, PanelRow row);

// One entry of a variable list box.
struct VariableChoice {
    std::string name; // bytes as stored
    int index = 0;
};
// The entries for `indexes`: the variables' current names, leaving out names
// that are empty after trimming spaces, sorted by name without regard to case
// (equal names by index).
std::vector<VariableChoice> SortedVariableChoices(const VariableTable& variables, const std::vector<int>& indexes);

// A variable shown in a list must have a name. An empty (or blank) name
// becomes "noname" followed by the index, stored into the table. True when
// the variable was renamed.
bool NameUnnamedVariable(VariableTable& variables, int index);

// The eight operations of Process, by their code.
inline constexpr std::string_view kOperationNames[] = {"Assign", "Add", "Substract", "Multiply",
                                                       "Divide", "Mod", "And",       "Or"};
// The entries of the Input Type box, in order.
inline constexpr std::string_view kInputTypeNames[] = {"Unsigned Integer", "Signed Integer", "Unsigned Real",
                                                       "Signed Real", "String"};

// Reading the numbers typed into the text boxes. Surrounding spaces do not
// count.
//
// Whole numbers (State #, Cons.Start, Cons.End, Position, w2Flash's
// Const.Integer): empty text and text that is not a whole number read as 0.
std::int32_t ReadWholeNumber(std::string_view text);
// State #: a whole number; below 0 or above 255 reads as 0.
std::int32_t ReadStateNumber(std::string_view text);

// Const.Integer of Process and NumCmp: a decimal number ("." before the
// decimals, "," between groups of three digits, an exponent allowed) in
// thousandths, rounded half to even. Empty text and text that is not a number
// read as 0; a number whose thousandths do not fit 32 bits is refused, as the
// item's record could not carry it.
struct ConstantReading {
    bool fits = true;
    std::int32_t thousandths = 0;
};
ConstantReading ReadConstant(std::string_view text);
inline constexpr std::string_view kConstantTooLarge =
    "The constant must lie between -2,147,483.648 and 2,147,483.647.";

// The Input Length and Input Pos. boxes: empty reads as 0; text that is not a
// whole number is refused with `InvalidIntegerMessage` and nothing is stored.
std::optional<std::int32_t> ReadInputNumber(std::string_view text);
std::string InvalidIntegerMessage(std::string_view text);

// Input Type and Input Length.
inline constexpr std::string_view kLengthTooLarge = "Should be less than 12!";
inline constexpr int kMaxInputLength = 12;

// The Input Type box's entry (index into kInputTypeNames) and the texts of the
// two length boxes for a stored format and size; the decimals box is in use
// only for the real types.
struct InputTypeView {
    int type = 0;
    std::int32_t length = 0;
    std::int32_t decimals = 0;
    bool decimalsEnabled = false;
};
InputTypeView ViewInputType(std::int32_t format, std::int32_t size);
// The format and size stored for an Input Type entry (-1: none selected) and
// the two lengths.
struct InputFormat {
    std::int32_t format = 0;
    std::int32_t size = 0;
    bool operator==(const InputFormat&) const = default;
};
InputFormat ComposeInputFormat(int type, std::int32_t length, std::int32_t decimals);
inline bool IsRealInputType(int type) { return type == 2 || type == 3; }

// Input Pos.: the field's place on the 8 x 20 screen.
inline constexpr std::string_view kRowTooLarge = "Row should be less than 8!";
inline constexpr std::string_view kColumnTooLarge = "Col. should be less than 19!";
inline constexpr std::string_view kLengthBeyondLine = "Col+Len should be less than 20!";
inline constexpr int kMaxInputRow = 8;
inline constexpr int kMaxInputColumn = 19;
inline constexpr int kScreenWidth = 20;

// Text typed into a text row or the screen editor: why the item cannot keep
// it, or nothing when it can. Covers what the record cannot carry; the widget
// checks the code page before turning the text into bytes.
std::optional<std::string> TypedTextProblem(std::string_view text);
// The message for characters that have no byte in Windows-1254, given as
// their code points ("U+4E2D").
std::string OutsideCodePageMessage(std::string_view codePoints);

} // namespace qvt
