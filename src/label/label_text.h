#pragma once

#include "label/label_design.h"
#include "core/messages.h"

#include <string>
#include <string_view>

namespace qvt {

// The label text: the whole design on one line of the project file,
// "#1" then fields "#key=value\" then "#2". Text values have their line breaks
// and backslashes replaced by bytes 0xF8 (LF), 0xF9 (CR) and 0xFF (backslash),
// so the text never breaks a line and a backslash always ends a field. Those
// three bytes therefore cannot stand for themselves in a text.
std::string encodeLabelValue(std::string_view value);
std::string decodeLabelValue(std::string_view value);

inline constexpr std::string_view kLabelFileOpenError = "Label File open error.";
inline constexpr std::string_view kLabelFileSaveError = "Label File save error.";

// Reads the fields of a label text strictly in the order they were written.
// A field is taken only when "#key=" begins before the next backslash; a
// missing field reads as 0 or empty and consumes nothing, and so does a number
// that does not convert, which leaves every later field unread as well.
class LabelFieldReader {
public:
    explicit LabelFieldReader(std::string_view labelText);

    // False when the text has no end marker after its start marker; then
    // every field reads as 0 or empty.
    bool readable() const { return readable_; }
    int number(std::string_view key);
    std::string text(std::string_view key);
    // Bytes not consumed yet; a read that leaves this unchanged consumed nothing.
    size_t remaining() const { return rest_.size(); }

private:
    struct Found {
        std::string_view value;
        size_t consumed;
    };
    std::optional<Found> find(std::string_view key) const;

    std::string_view rest_;
    bool readable_ = false;
};

// Decimal with an optional sign, the whole value, within 32 bits.
std::optional<int> parseLabelNumber(std::string_view value);

// The label text of a design. Variables are written by default name.
std::string BuildLabelText(const LabelDesign& design, const VariableTable& variables);

// Fills the design from a label text (elements first emptied). Unknown label
// type, direction or barcode type values leave the design's current ones. A
// kind name other than the four, or a 101st element, or a field or barcode
// beyond 30 variable slots, stops the reading with "Label File open error.";
// the elements read until then stay and the result is false.
bool LoadLabelText(std::string_view labelText, LabelDesign& design, const VariableTable& variables,
                   Messages& messages);

} // namespace qvt
