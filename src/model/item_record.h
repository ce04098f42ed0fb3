#pragma once

// The one-line text record of an item:
//
//   #1#id=<id>\#sat=<row>\#sut=<column>\#tip=<kind>\#2<kind section>\#3
//
// The kind section is "#key=value" pairs joined by "\" (empty for Return).
// The terminal's other tools read and write the same lines, so every quirk of
// reading below is kept as they have it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qvt {

// Texts in records: LF -> 248, CR -> 249, backslash -> 255, and back. Bytes
// 248, 249 and 255 of the original text therefore read back changed.
std::string EscapeRecordText(std::string_view text);
std::string UnescapeRecordText(std::string_view text);

// Decimal 32-bit signed integer: an optional sign and at least one digit,
// nothing else. Empty on any other text or on overflow.
std::optional<std::int32_t> ParseRecordInt(std::string_view text);

// Process and NumCmp constants are stored in thousandths, rounded half to
// even. A thousandfold beyond the 32-bit range is stored as the nearest
// 32-bit value (+/-2147483.647), so that the record stays readable; NaN is
// stored as 0.
std::int32_t ThousandthsOf(double value);
// Whether `value` is stored without being clamped.
bool ConstantFitsRecord(double value);

// Why `text` cannot be used as a screen text or string constant, or empty when
// it can. "#3" would end the record early and make it unreadable; the bytes
// 248, 249 and 255 would read back as LF, CR and backslash. The property panel
// refuses such a text with this message when it is entered.
std::optional<std::string> RecordTextProblem(std::string_view text);

// Kind number of a record before an item exists: the decimal text between the
// first "#tip=" and the first "\#2"; empty when either is missing, "#tip=" does
// not come first, or the text is not an integer.
std::optional<std::int32_t> KindOfRecord(std::string_view record);

// Builds the kind section of a record.
class RecordWriter {
public:
    explicit RecordWriter(std::string& out) : out_(out) {}
    void Int(std::string_view key, std::int32_t value);
    void Text(std::string_view key, std::string_view text);  // escaped
    void Bool(std::string_view key, bool value);              // "1" / "0"
    void Thousandths(std::string_view key, double value);

private:
    void Key(std::string_view key);
    std::string& out_;
    bool first_ = true;
};

// The key/value pairs of a kind section, at most 40, cut the way the terminal's
// tools cut them: each pair runs from a "#" through "=" to the next "\"; cutting
// stops at the first text that is not such a pair. Values may hold "#" and "="
// but never "\".
class RecordPairs {
public:
    static constexpr int kMaxPairs = 40;

    explicit RecordPairs(std::string_view kindSection);

    // Integer field: 0, then the value of every pair with this key in turn;
    // the scan stops at the first value that is not an integer (keeping what
    // the field had).
    void ReadInt(std::string_view key, std::int32_t& field) const;
    // Text field: empty, then the unescaped value of every pair with this key.
    void ReadText(std::string_view key, std::string& field) const;
    // "1"-style flag: as ReadInt, true when not 0.
    void ReadBool(std::string_view key, bool& field) const;
    // Thousandths: as ReadInt, divided by 1000.
    void ReadThousandths(std::string_view key, double& field) const;

    const std::vector<std::pair<std::string_view, std::string_view>>& pairs() const { return pairs_; }

private:
    std::vector<std::pair<std::string_view, std::string_view>> pairs_;
};

// The three parts of a record, cut at the first "#1", "#2" and "#3".
struct RecordSections {
    std::string_view base;
    std::string_view kind;
    std::string_view tail;  // text after "#3"; a record with a tail is refused
};
RecordSections SplitRecord(std::string_view record);

// Base section keys in their written order; see TitcItem::ReadRecord.
struct BaseFields {
    std::int32_t id = 0, row = 0, column = 0, kind = 0;
};
BaseFields ReadBaseSection(std::string_view base);

} // namespace qvt
