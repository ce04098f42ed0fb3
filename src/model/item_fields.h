#pragma once

// The fields of every item kind, one table per kind. Each entry names a field
// of the kind's class, its key in the item's text record, how the record
// stores it, the exit it belongs to (targets) and the property panel row that
// shows it. The record is written and read from these tables, and the property
// panel fills and stores its rows through them; nothing else lists a kind's
// fields.

#include "model/item.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace qvt {

class RecordWriter;
class RecordPairs;

// How the record stores a field.
enum class FieldType : std::uint8_t {
    Whole,        // decimal 32-bit integer
    Variable,     // index into the variable table, decimal
    ExitTarget,   // id of the item an exit leads to (0 = not connected), decimal
    Text,         // text, escaped (line feed, carriage return, backslash as bytes 248, 249, 255)
    Flag,         // "1" or "0"; any number other than 0 reads as set
    Thousandths,  // real constant as its nearest whole number of thousandths (ties to even)
    // Input keeps two fields under one "tip" key: inputFormat * 256 + inputSize,
    // written with the format's entry. Reading gives the format the quotient
    // truncated toward zero and the size the remainder with the value's sign.
    InputFormat,
    InputSize,
};

// Rows of the property panel, in their order from the top.
enum class PanelRow : std::uint8_t {
    None,  // the panel does not show the field
    StateNumber,
    Target,
    Operation,
    Source,
    Source2,
    Start,
    ConsStart,
    End,
    ConsEnd,
    ConstInteger,
    ConstString,
    Position,
    InputType,
    InputLength,
    InputPos,
    InputInit,
    Screen,  // the screen editor; it has no caption
};

// A field's storage inside one item.
using FieldRef = std::variant<std::int32_t*, std::string*, double*, bool*>;
using ConstFieldRef = std::variant<const std::int32_t*, const std::string*, const double*, const bool*>;

struct ItemField {
    std::string_view key;   // record key, "hedef"
    std::string_view name;  // the class member, "target"
    FieldType type;
    PanelRow row;
    // Caption of the panel row ("Target"; Wdt shows its flag as "Flag" in the
    // Target row). Empty for a field the panel does not show and for the
    // screen editor.
    std::string_view caption;
    // Label of the exit whose target this is ("OK"); empty for other fields.
    std::string_view exit;
    // The field inside an item of this table's kind. Throws std::bad_cast for
    // an item of another kind.
    FieldRef (*access)(TitcItem&);
};

// The fields of a kind in the order the record writes them; empty for Return
// and for a number that is no kind.
std::span<const ItemField> KindFields(std::int32_t kind);
// The fields of the item's class.
std::span<const ItemField> ItemFields(const TitcItem& item);

// `field` must come from the table of the item's kind.
FieldRef FieldOf(TitcItem& item, const ItemField& field);
ConstFieldRef FieldOf(const TitcItem& item, const ItemField& field);

// The entry of the exit labelled `label`, null when the kind has no such exit.
const ItemField* ExitField(std::span<const ItemField> fields, std::string_view label);

// The kind section of the item's record, keys in table order.
void WriteKindSection(const TitcItem& item, RecordWriter& out);
// Every field of the table from the pairs of a kind section; see RecordPairs
// for missing, repeated and malformed keys.
void ReadKindSection(TitcItem& item, const RecordPairs& in);

} // namespace qvt
