#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qvt {

// Size code of a label size name; 0 (the 30 x 60 label) for a name not listed.
int SizeCodeOf(std::string_view labelType);

// The 6-character code of a printer font number 0..400; empty for the numbers
// the table has no font for (the text line then carries no font code).
// `known` tells whether the number is inside the table at all.
std::string_view FontCodeOf(int fontNo, bool* known = nullptr);

// Builds the command stream that prints one label: the set-up block, one
// record line per text, barcode or line, and the closing block. Every record
// line ends with CR, and after each Add the last byte of the stream is that
// CR; the label compiler records where variable values go by it.
class TArgox {
public:
    // Rotation 2 (a horizontal label) turns the design's coordinates a
    // quarter: printer rows run along the design's columns, counted from DimB.
    void BeginLabel(int sizeCode, int barcodeFlag, int rotation);
    // False, with nothing appended, for a font number outside 0..400.
    bool AddText(int fontNo, int64_t row, int64_t column, std::string_view text);
    void AddBarcode(int64_t row, int64_t column, std::string_view data, int64_t barHeight);
    void AddLine(int64_t row, int64_t column, int64_t length, int64_t height);
    const std::string& FinishLabel(int quantity);

    int DimA = 0;
    int DimB = 0;
    // Barcode type (three characters) followed by the last bar height written.
    std::string BarcodeSpec;
    int Rotation = 1;
    std::string Stream;

private:
    // Appends one text or barcode record: rotation, `spec` (font or barcode
    // type and height), row and column in the printer's turn, then `data`.
    void AddRecord(std::string_view spec, int64_t row, int64_t column, std::string_view data);

    std::string barcodeType_;
};

// Decimal `value` padded on the left with zeros to `width`; longer numbers are
// written in full and a minus sign stays behind the zeros (-5 in 4 is "00-5").
std::string numberField(int64_t value, int width);

inline constexpr size_t kArgoxSetupBytes = 40;
inline constexpr size_t kArgoxClosingBytes = 18;

} // namespace qvt
