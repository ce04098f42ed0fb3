#pragma once

#include "core/display_list.h"
#include "core/project_state.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

// The print preview: what the printer will print, read back from the very
// command stream that a test print sends (not from the design), and drawn as
// a display list.
//
// Reading the stream. The set-up block selects no metric mode ("m"), so rows
// and columns are hundredths of an inch; "D11" sets the printer's dot to one
// by one, so one dot of the preview stands for one stream unit at the default
// resolution of 100 dots per inch. Rows count up from the label's bottom
// edge, columns to the right from its left edge. The rotation digit turns a
// text or a barcode clockwise about its anchor, the bottom-left corner of the
// unturned text or bars: 1 none, 2 a quarter, 3 a half, 4 three quarters.
// A line or box ("X" record) is an upright rectangle whatever its rotation
// digit: the stream writer has already turned it.

struct ArgoxRecord {
    enum class Kind { Text, Barcode, Box };
    Kind kind = Kind::Text;
    int rotation = 1;       // 1..4
    char type = 0;          // text: font type '0'..'9'; barcode: symbology letter; box: 'X'
    int widthFactor = 1;    // text: width multiplier; barcode: wide bar digit
    int heightFactor = 1;   // text: height multiplier; barcode: narrow bar digit
    std::string size;       // text: the three-character font size or font id
    int64_t barHeight = 0;  // barcode
    int64_t row = 0;
    int64_t column = 0;
    int64_t length = 0;     // box: extent along the columns
    int64_t height = 0;     // box: extent along the rows
    std::string data;       // text or barcode data: the rest of the line
};

struct ArgoxLabel {
    bool metric = false;  // units are tenths of a millimetre instead of hundredths of an inch
    int quantity = 0;     // from "Q"; 0 when the stream has none
    bool ended = false;   // the format was closed with "E"
    std::vector<ArgoxRecord> records;
    // Format lines that look like records but cannot be read (a field that is
    // not a number, a line too short); the printer would not print them either.
    int unreadableRecords = 0;
};

// Reads any bytes without failing; what is not understood is left out.
ArgoxLabel ParseArgoxStream(std::string_view stream);

// The label's extent in stream units: across the print head (the first
// number of the size name) and along the feed (the second).
struct PreviewPage {
    int width = 0;
    int height = 0;
};
PreviewPage PreviewPageOf(std::string_view labelType);

inline constexpr double kPrinterDotsPerInch = 100.0;

// One bar of a barcode: start and width in modules (narrow bars).
struct BarcodeBar {
    int start = 0;
    int width = 0;
};
struct BarcodeBars {
    std::vector<BarcodeBar> bars;
    int modules = 0;  // the symbol's length in modules
};

// Bars of a Code 39 ('a', 'A') or Interleaved 2 of 5 ('d', 'D') barcode from
// the barcode library; nullopt for another symbology or data it cannot encode
// (an empty value, letters in an Interleaved 2 of 5).
std::optional<BarcodeBars> EncodeBarcode(char symbology, std::string_view data);

// Builds preview pictures; keeps the bars of the barcodes it has met, so a
// picture rebuilt after every edit does not encode them again.
class LabelPreviewer {
public:
    explicit LabelPreviewer(const FontMetrics& metrics) : metrics_(metrics) {}

    // The picture of `label` on `page` at `dotsPerInch`: white label, black
    // print. A barcode the printer cannot make bars of is shown as a dotted
    // red frame where its bars would start.
    void Build(const ArgoxLabel& label, PreviewPage page, double dotsPerInch, DisplayList& out);

    // The label text compiled into the stream a test print sends (each
    // variable at its initial value), read back and drawn. False, with the
    // picture left empty, when the label does not compile; `stream` gets the
    // stream when asked for.
    bool BuildFromLabelText(std::string_view labelText, const VariableTable& variables, double dotsPerInch,
                            DisplayList& out, std::string* stream = nullptr);

    // The font pixel size a text record is drawn with at `scale` pixels per unit.
    static int TextPixelSize(const ArgoxRecord& text, double scale);

private:
    const std::optional<BarcodeBars>& barsOf(char symbology, const std::string& data);

    const FontMetrics& metrics_;
    std::map<std::pair<char, std::string>, std::optional<BarcodeBars>> bars_;
};

} // namespace qvt
