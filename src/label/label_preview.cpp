#include "label/label_preview.h"

#include "label/argox_stream.h"
#include "label/label_compiler.h"
#include "label/label_text.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace qvt {

namespace {

constexpr char STX = 0x02;
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;

// A fixed-width number field as the stream writer pads it: zeros, then an
// optional minus sign, then digits ("0060", "00-5").
std::optional<int64_t> fieldNumber(std::string_view field)
{
    size_t i = 0;
    while (i < field.size() && field[i] == '0')
        ++i;
    bool negative = false;
    if (i < field.size() && field[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == field.size())
        return negative ? std::nullopt : std::optional<int64_t>(0);
    // Wider than any field the printer reads.
    if (field.size() - i > 9)
        return std::nullopt;
    int64_t value = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return std::nullopt;
        value = value * 10 + (field[i] - '0');
    }
    return negative ? -value : value;
}

// Wide and narrow bar digits: 1..9, then A..O for 10..24; 0 leaves the
// printer's own width.
int barDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'O')
        return c - 'A' + 10;
    return 0;
}

int multiplier(char c)
{
    if (c >= '1' && c <= '9')
        return c - '0';
    return 1;
}

// "abcdeeeffffgggg" then data: rotation, type, two width/height digits, a
// three-character size, row and column.
constexpr size_t kRecordHeader = 15;

bool readRecord(std::string_view line, ArgoxRecord& record)
{
    if (line.size() < kRecordHeader)
        return false;
    record.rotation = line[0] - '0';
    record.type = line[1];
    auto row = fieldNumber(line.substr(7, 4));
    auto column = fieldNumber(line.substr(11, 4));
    if (!row || !column)
        return false;
    record.row = *row;
    record.column = *column;
    const char type = line[1];
    if (type == 'X') {
        // Line "L lll hhh" or box "B lll hhh ttt sss"; only the first two
        // sizes are drawn, a box as a frame one unit thick.
        std::string_view rest = line.substr(kRecordHeader);
        if (rest.size() < 7 || (rest[0] != 'L' && rest[0] != 'B'))
            return false;
        auto length = fieldNumber(rest.substr(1, 3));
        auto height = fieldNumber(rest.substr(4, 3));
        if (!length || !height)
            return false;
        record.kind = ArgoxRecord::Kind::Box;
        record.length = *length;
        record.height = *height;
        record.data = std::string(rest.substr(0, 1));
        return true;
    }
    if (type >= '0' && type <= '9') {
        record.kind = ArgoxRecord::Kind::Text;
        record.widthFactor = multiplier(line[2]);
        record.heightFactor = multiplier(line[3]);
        record.size = std::string(line.substr(4, 3));
    } else if ((type >= 'A' && type <= 'Z') || (type >= 'a' && type <= 'z')) {
        auto barHeight = fieldNumber(line.substr(4, 3));
        if (!barHeight)
            return false;
        record.kind = ArgoxRecord::Kind::Barcode;
        record.widthFactor = barDigit(line[2]);
        record.heightFactor = barDigit(line[3]);
        record.barHeight = *barHeight;
    } else {
        return false;
    }
    record.data = std::string(line.substr(kRecordHeader));
    return true;
}

} // namespace

ArgoxLabel ParseArgoxStream(std::string_view stream)
{
    ArgoxLabel label;
    bool formatting = false;
    size_t pos = 0;
    while (pos < stream.size()) {
        size_t end = stream.find(CR, pos);
        if (end == std::string_view::npos)
            end = stream.size();
        std::string_view line = stream.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.front() == LF)
            line.remove_prefix(1);
        if (line.empty())
            continue;
        if (line.front() == STX) {
            // System commands; "L" opens a label format.
            std::string_view command = line.substr(1);
            if (command == "m")
                label.metric = true;
            else if (command == "n")
                label.metric = false;
            else if (command == "L") {
                formatting = true;
                label.ended = false;
            }
            continue;
        }
        if (!formatting)
            continue;
        const char first = line.front();
        if (first >= '1' && first <= '4') {
            ArgoxRecord record;
            if (readRecord(line, record))
                label.records.push_back(std::move(record));
            else
                ++label.unreadableRecords;
        } else if (first == 'Q') {
            if (auto quantity = fieldNumber(line.substr(1)); quantity && *quantity >= 0 && *quantity <= 9999)
                label.quantity = int(*quantity);
        } else if (line == "E") {
            formatting = false;
            label.ended = true;
        } else if (first == 'm') {
            label.metric = true;
        } else if (first == 'n') {
            label.metric = false;
        }
        // Heat, speed, dot size, cut and copy commands change nothing drawn.
    }
    return label;
}

PreviewPage PreviewPageOf(std::string_view labelType)
{
    TArgox argox;
    argox.BeginLabel(SizeCodeOf(labelType), 0, 1);
    return {argox.DimA, argox.DimB};
}

std::optional<BarcodeBars> EncodeBarcode(char symbology, std::string_view data)
{
    int type = 0;
    switch (symbology) {
    case 'a': case 'A': type = BARCODE_CODE39; break;
    case 'd': case 'D': type = BARCODE_C25INTER; break;
    default: return std::nullopt;
    }
    if (data.empty())
        return std::nullopt;
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol)
        return std::nullopt;
    symbol->symbology = type;
    symbol->input_mode = DATA_MODE;
    symbol->show_hrt = 0;
    const int result = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.data()), int(data.size()), 0);
    if (result >= ZINT_ERROR || !symbol->vector || symbol->width <= 0)
        return std::nullopt;
    // The vector output draws each module `factor` units wide.
    const double factor = double(symbol->vector->width) / symbol->width;
    if (factor <= 0)
        return std::nullopt;
    BarcodeBars bars;
    bars.modules = symbol->width;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        BarcodeBar bar{int(std::lround(r->x / factor)), int(std::lround(r->width / factor))};
        if (bar.width > 0)
            bars.bars.push_back(bar);
    }
    std::sort(bars.bars.begin(), bars.bars.end(), [](const BarcodeBar& a, const BarcodeBar& b) {
        return a.start < b.start;
    });
    return bars;
}

namespace {

const Rgb kInk{0, 0, 0};
const Rgb kFlag{200, 0, 0};

// The picture rectangle covering [u0, u1) along the reading direction and
// [v0, v1) upwards from the anchor, for rotation 1..4 (clockwise quarters).
PixelRect turnedRect(PixelPoint anchor, int rotation, int u0, int u1, int v0, int v1)
{
    switch (rotation) {
    case 2: return {anchor.x + v0, anchor.y + u0, anchor.x + v1, anchor.y + u1};
    case 3: return {anchor.x - u1, anchor.y + v0, anchor.x - u0, anchor.y + v1};
    case 4: return {anchor.x - v1, anchor.y - u1, anchor.x - v0, anchor.y - u0};
    default: return {anchor.x + u0, anchor.y - v1, anchor.x + u1, anchor.y - v0};
    }
}

int scaled(int64_t units, double scale)
{
    const double v = std::round(double(units) * scale);
    return int(std::clamp(v, -1.0e8, 1.0e8));
}

} // namespace

int LabelPreviewer::TextPixelSize(const ArgoxRecord& text, double scale)
{
    // The printer's own fonts are not known here; the preview stands them in
    // with the painter's printer font, sized so that a font of size digit 1
    // fills the 12 units the label compiler leaves between a barcode's
    // caption and its bars. Fonts of size digit 3 and 5 are larger.
    double units = 10;
    if (text.type == '9' && !text.size.empty()) {
        if (text.size[0] == '3')
            units = 14;
        else if (text.size[0] == '5')
            units = 18;
    }
    return std::max(1, int(std::lround(units * text.heightFactor * scale)));
}

const std::optional<BarcodeBars>& LabelPreviewer::barsOf(char symbology, const std::string& data)
{
    if (bars_.size() > 512)
        bars_.clear();
    auto key = std::make_pair(char(symbology | 0x20), data);
    auto it = bars_.find(key);
    if (it == bars_.end())
        it = bars_.emplace(std::move(key), EncodeBarcode(symbology, data)).first;
    return it->second;
}

void LabelPreviewer::Build(const ArgoxLabel& label, PreviewPage page, double dotsPerInch, DisplayList& out)
{
    out.Clear();
    const double scale = dotsPerInch / (label.metric ? 254.0 : 100.0);
    out.width = std::max(0, scaled(page.width, scale));
    out.height = std::max(0, scaled(page.height, scale));
    out.background = {255, 255, 255};
    const Pen noPen{};

    for (const ArgoxRecord& r : label.records) {
        const PixelPoint anchor{scaled(r.column, scale), scaled(int64_t(page.height) - r.row, scale)};
        switch (r.kind) {
        case ArgoxRecord::Kind::Box: {
            int64_t left = r.column, right = r.column + r.length;
            int64_t bottom = r.row, top = r.row + r.height;
            if (left > right)
                std::swap(left, right);
            if (bottom > top)
                std::swap(bottom, top);
            const PixelRect rect{scaled(left, scale), scaled(page.height - top, scale), scaled(right, scale),
                                 scaled(page.height - bottom, scale)};
            if (r.data == "B") {
                const int t = std::max(1, scaled(1, scale));
                out.AddRect(rect, Pen{PenStyle::Solid, kInk, t}, false);
            } else if (rect.Width() > 0 && rect.Height() > 0) {
                out.AddRect(rect, noPen, true, kInk);
            }
            break;
        }
        case ArgoxRecord::Kind::Text: {
            if (r.data.empty())
                break;
            TextStyle style;
            style.font = FontRole::Printer;
            style.color = kInk;
            style.pixelSize = TextPixelSize(r, scale);
            style.rotation = (r.rotation - 1) * 90;
            const int w = metrics_.TextWidth(FontRole::Printer, style.pixelSize, r.data);
            const int h = metrics_.TextHeight(FontRole::Printer, style.pixelSize);
            PixelPoint at = anchor;
            switch (r.rotation) {
            case 2: at.x += h; break;
            case 3: at.y += h; break;
            case 4: at.x -= h; break;
            default: at.y -= h; break;
            }
            out.AddText(at, r.data, style, turnedRect(anchor, r.rotation, 0, w, 0, h));
            break;
        }
        case ArgoxRecord::Kind::Barcode: {
            const int barHeight = scaled(r.barHeight, scale);
            const int narrowUnits = r.heightFactor > 0 ? r.heightFactor : 1;
            const int module = std::max(1, scaled(narrowUnits, scale));
            const std::optional<BarcodeBars>& bars = barsOf(r.type, r.data);
            if (!bars) {
                // Nothing the printer can make bars of: mark where they would be.
                const int length = std::max(20, 10 * int(r.data.size())) * module;
                out.AddRect(turnedRect(anchor, r.rotation, 0, length, 0, std::max(barHeight, 2 * module)),
                            Pen{PenStyle::Dotted, kFlag, 1}, false);
                break;
            }
            if (barHeight <= 0)
                break;
            for (const BarcodeBar& bar : bars->bars)
                out.AddRect(turnedRect(anchor, r.rotation, bar.start * module, (bar.start + bar.width) * module, 0,
                                       barHeight),
                            noPen, true, kInk);
            break;
        }
        }
    }
}

bool LabelPreviewer::BuildFromLabelText(std::string_view labelText, const VariableTable& variables,
                                        double dotsPerInch, DisplayList& out, std::string* stream)
{
    std::string bytes;
    out.Clear();
    out.width = 0;
    out.height = 0;
    if (!CompileLabel(labelText, variables, LabelMode::Print, bytes)) {
        if (stream)
            stream->clear();
        return false;
    }
    // The label size is not in the stream; it comes from the same field the
    // compiler read it from.
    LabelFieldReader reader(labelText);
    reader.number("cnt");
    reader.number("DegiskenCnt");
    const std::string labelType = reader.text("EtiketTipi");
    if (!bytes.empty())
        Build(ParseArgoxStream(bytes), PreviewPageOf(labelType), dotsPerInch, out);
    if (stream)
        *stream = std::move(bytes);
    return true;
}

} // namespace qvt
