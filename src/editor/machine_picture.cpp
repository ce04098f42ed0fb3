#include "editor/machine_picture.h"

#include "model/item_kinds.h"
#include "model/items_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace qvt {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGray{128, 128, 128};
constexpr Rgb kEmptyFill{255, 254, 236};
constexpr Rgb kItemFill{244, 244, 244};
constexpr Rgb kStripFill{208, 208, 208};
constexpr Rgb kSelectedExitFill{160, 160, 160};

constexpr int kTitleLength = 20;
constexpr int kDescriptionLength = 32;
constexpr int kPreviewLength = 20;
constexpr int kBodyLines = 8;
constexpr int kStripTop = 186;

constexpr unsigned char kFieldMarker = 178;
constexpr unsigned char kFieldShown = 185;
constexpr unsigned char kFirstFieldLetter = 'A';
constexpr unsigned char kLastFieldLetter = 'A' + kVariableCount - 1; // 180

// Floor division, so pixels left of or above the picture fall in cell -1.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// A variable field is set when it names a variable other than "Constant".
// An index beyond the table (only possible through edited files) counts as
// no variable rather than reading past the table.
bool IsSet(std::int32_t index) { return index > 0 && index < kVariableCount; }

const std::string& NameOf(const VariableTable& variables, std::int32_t index)
{
    return variables[static_cast<std::size_t>(index)].name;
}

// "\n" + prefix + V(index) + suffix, or `otherwise` when the field is not set.
void VarOr(std::string& out, const VariableTable& variables, std::int32_t index, std::string_view prefix,
           std::string_view suffix, std::string_view otherwise)
{
    if (IsSet(index)) {
        out += prefix;
        out += NameOf(variables, index);
        out += suffix;
    } else {
        out += otherwise;
    }
}

void VarOrConstText(std::string& out, const VariableTable& variables, std::int32_t source,
                    const std::string& constText)
{
    if (IsSet(source)) {
        out += "\n ";
        out += NameOf(variables, source);
    } else {
        out += "\n '";
        out += constText;
        out += "'";
    }
}

void VarOrConstValue(std::string& out, const VariableTable& variables, std::int32_t source, double constValue)
{
    if (IsSet(source)) {
        out += "\n ";
        out += NameOf(variables, source);
    } else {
        out += "\n '";
        out += FormatConstant(constValue);
        out += "'";
    }
}

void TargetArrow(std::string& out, const VariableTable& variables, std::int32_t target)
{
    VarOr(out, variables, target, "\n", "  <--", "\n(no variable)  <--");
}

void RangePart(std::string& out, const VariableTable& variables, const TItcStrCopyOrCat& item)
{
    if (item.start == 0 && item.constStart == 0 && item.end == 0 && item.constEnd == 0)
        return;
    out += "\n from start position";
    if (IsSet(item.start))
        (out += "\n ") += NameOf(variables, item.start);
    else
        (out += "\n ") += std::to_string(item.constStart);
    out += "\n to end position";
    if (IsSet(item.end))
        (out += "\n ") += NameOf(variables, item.end);
    else
        (out += "\n ") += std::to_string(item.constEnd);
}

std::string_view OperationName(std::int32_t operation)
{
    static constexpr std::string_view kNames[] = {"Assign", "Add", "Substract", "Multiply",
                                                  "Divide", "Mod", "And",       "Or"};
    if (operation >= 0 && operation < 8)
        return kNames[operation];
    return {};
}

void AppendDescription(std::string& out, const TitcItem& item, const VariableTable& v)
{
    switch (item.KindNumber()) {
    case KindGetSequence: {
        const auto& it = static_cast<const TItcGetSequence&>(item);
        if (IsSet(it.target))
            ((out += "\n") += NameOf(v, it.target)) += " <-- Sequence";
        break;
    }
    case KindSecOfCentury: {
        const auto& it = static_cast<const TitcSecOfCentury&>(item);
        if (IsSet(it.target))
            ((out += "\n") += NameOf(v, it.target)) += " <--\nThe Second of This Centruy";
        break;
    }
    case KindWriteToFlash: {
        const auto& it = static_cast<const TItcWriteToFlash&>(item);
        (out += "\nFlash <-- tag: ") += std::to_string(it.tag);
        out += "\n +var1: ";
        out += IsSet(it.source1) ? NameOf(v, it.source1) : std::string("(no variable)");
        out += "\n +var2: ";
        out += IsSet(it.source2) ? NameOf(v, it.source2) : std::string("(no variable)");
        out += "\n +Real Time\n +State\n +Counters\n +Last pressed Key";
        break;
    }
    case KindStrCopy: {
        const auto& it = static_cast<const TItcStrCopyOrCat&>(item);
        VarOr(out, v, it.target, "\n", " <--", "\n(no variable) <--");
        VarOrConstText(out, v, it.source, it.constText);
        RangePart(out, v, it);
        break;
    }
    case KindStrCat: {
        const auto& it = static_cast<const TItcStrCopyOrCat&>(item);
        TargetArrow(out, v, it.target);
        VarOr(out, v, it.target, "\n ", " +", "\n (no variable) +");
        VarOrConstText(out, v, it.source, it.constText);
        RangePart(out, v, it);
        break;
    }
    case KindStrLen: {
        const auto& it = static_cast<const TItcStrLen&>(item);
        TargetArrow(out, v, it.target);
        out += "\n length of";
        VarOr(out, v, it.source, "\n ", "", "\n (no variable)");
        break;
    }
    case KindStrPos: {
        const auto& it = static_cast<const TItcStrPos&>(item);
        TargetArrow(out, v, it.target);
        ((out += "\n ") += std::to_string(it.occurrence)) += "th occurence of";
        ((out += "\n '") += it.constText) += "'";
        out += "\n in";
        VarOr(out, v, it.source, "\n ", "", "\n (no variable)");
        break;
    }
    case KindStrCmp: {
        const auto& it = static_cast<const TItcStrCmp&>(item);
        out += "\ncompare";
        VarOr(out, v, it.target, "\n ", "", "\n (no variable)");
        out += "\nwith";
        VarOrConstText(out, v, it.source, it.constText);
        break;
    }
    case KindProcess: {
        const auto& it = static_cast<const TItcProcess&>(item);
        TargetArrow(out, v, it.target);
        if (it.operation != OpAssign) {
            VarOr(out, v, it.target, "\n ", "", "\n (no variable)");
            out += "\n ";
            const std::string_view name = OperationName(it.operation);
            // An operation code beyond the eight (only through edited files)
            // shows as its number.
            if (name.empty())
                out += std::to_string(it.operation);
            else
                out += name;
        }
        VarOrConstValue(out, v, it.source, it.constValue);
        break;
    }
    case KindNumCmp: {
        const auto& it = static_cast<const TItcNumCmp&>(item);
        out += "\ncompare";
        VarOr(out, v, it.target, "\n ", "", "\n (no variable)");
        out += "\nwith";
        VarOrConstValue(out, v, it.source, it.constValue);
        break;
    }
    case KindWdt: {
        const auto& it = static_cast<const TItcWdt&>(item);
        VarOr(out, v, it.flag, "\nFlag <-- ", "", "\nFlag <-- (no variable)");
        VarOr(out, v, it.startTime, "\nInitial Time <-- ", "", "\nInitial Time <-- (no variable)");
        VarOr(out, v, it.increment, "\nIncrement <-- ", "", "\nIncrement <-- (no variable)");
        break;
    }
    case KindSync: {
        const auto& it = static_cast<const TItcSync&>(item);
        VarOr(out, v, it.source, "\n ", "", "\n (no variable)");
        break;
    }
    case KindGetDate: {
        const auto& it = static_cast<const TItcGetDate&>(item);
        VarOr(out, v, it.target, "\n", " <-- Date", "\n(no variable) <-- Date");
        break;
    }
    case KindGetTime: {
        const auto& it = static_cast<const TItcGetTime&>(item);
        VarOr(out, v, it.target, "\n", " <-- Time", "\n(no variable) <-- Time");
        break;
    }
    default: break; // Input and ReadKey show their screens; Return shows nothing
    }
}

void AppendScreenPreview(std::string& out, std::string_view screenText, const VariableTable& variables)
{
    const std::size_t from = out.size();
    out += screenText;
    const std::size_t n = screenText.size();
    // A marker counts only with at least two characters after it.
    std::size_t i = 0;
    while (i + 2 < n) {
        const auto marker = static_cast<unsigned char>(out[from + i]);
        const auto letter = static_cast<unsigned char>(out[from + i + 1]);
        if (marker != kFieldMarker || letter < kFirstFieldLetter || letter > kLastFieldLetter) {
            ++i;
            continue;
        }
        const std::string& name = variables[letter - kFirstFieldLetter].name;
        // The field shows (name followed by 20 '#') cut to its width; a field
        // wider than that keeps its further '#'.
        const std::size_t fillLength = name.size() + 20;
        auto fillAt = [&](std::size_t k) { return k < name.size() ? name[k] : '#'; };
        out[from + i] = static_cast<char>(kFieldShown);
        out[from + i + 1] = fillAt(0);
        std::size_t k = 1;
        std::size_t j = i + 2;
        while (j < n && out[from + j] == '#') {
            if (k < fillLength)
                out[from + j] = fillAt(k);
            ++k;
            ++j;
        }
        i = j;
    }
}

// Calls f(line) for the lines of `text` as a multi-line text box splits it:
// at CR LF, CR or LF, with no empty line after a final break.
template <typename F>
void ForEachLine(std::string_view text, F&& f)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        if (!f(text.substr(start, end - start)))
            return;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

bool HasScreen(const TitcItem& item)
{
    return item.KindNumber() == KindInput || item.KindNumber() == KindReadKey;
}

void ComposeTitle(std::string& out, const TitcItem& item)
{
    out = item.Title();
    // Only the entry item's title, with " Start" added, is cut.
    if (item.id == 1) {
        out += " Start";
        if (out.size() > static_cast<std::size_t>(kTitleLength))
            out.resize(kTitleLength);
    }
}

// The body text of an item before it is cut into lines.
void ComposeBody(std::string& out, const TitcItem& item, const VariableTable& variables)
{
    out.clear();
    if (item.KindNumber() == KindInput)
        AppendScreenPreview(out, static_cast<const TItcInputMenu&>(item).screenText, variables);
    else if (item.KindNumber() == KindReadKey)
        AppendScreenPreview(out, static_cast<const TItcReadKeyMenu&>(item).screenText, variables);
    else
        AppendDescription(out, item, variables);
}

class PictureBuilder {
public:
    PictureBuilder(DisplayList& out, const VariableTable& variables, const FontMetrics& metrics)
        : out_(out), variables_(variables), metrics_(metrics),
          canvasHeight_(metrics.TextHeight(FontRole::Canvas, 0)),
          smallHeight_(metrics.TextHeight(FontRole::Small, 0))
    {
    }

    void EmptyCell(int row, int column)
    {
        out_.AddRect(CellBox(row, column), Pen{PenStyle::Dotted, kGray, 1}, true, kEmptyFill);
    }

    void Item(const TitcItem& item, const MachineSelection& selection)
    {
        const int x0 = item.column * kCellWidth;
        const int y0 = item.row * kCellHeight;
        out_.AddRect(CellBox(item.row, item.column), Pen{PenStyle::Dotted, kBlue, 1}, true, kItemFill);
        const int bottomCount = std::clamp(item.bottomExitCount, 0, kExitSlots);
        const int rightCount = std::clamp(item.rightExitCount, 0, kExitSlots);
        if (bottomCount > 0)
            out_.AddRect(BottomExitStrip(item.row, item.column), Pen{}, true, kStripFill);
        if (rightCount > 0)
            out_.AddRect(RightExitStrip(item.row, item.column), Pen{}, true, kStripFill);

        // Only the first exit carrying the selected label is shown selected,
        // as a connection is set on the first exit of that label.
        const bool selected = selection.itemId >= 0 && selection.itemId == item.id && !selection.exit.empty();
        bool selectionShown = false;
        auto labelFill = [&](const TBag& exit) {
            if (selected && !selectionShown && exit.label == selection.exit) {
                selectionShown = true;
                return kSelectedExitFill;
            }
            return kStripFill;
        };

        const Pen dotted{PenStyle::Dotted, kBlue, 1};
        for (int i = 0; i < bottomCount; ++i) {
            const TBag& exit = item.bottomExits[i];
            const PixelPoint at = BottomLabelAt(item, exit, metrics_);
            Text(at, exit.label, FontRole::Canvas, labelFill(exit));
            if (i + 1 < bottomCount) {
                const int x = x0 + 36 + exit.last + 1;
                out_.AddLine({x, y0 + kStripTop}, {x, y0 + 200}, dotted);
            }
        }
        int y = y0 + 36;
        for (int j = 0; j < rightCount; ++j) {
            const TBag& exit = item.rightExits[j];
            Text({x0 + 187, y}, exit.label, FontRole::Canvas, labelFill(exit));
            out_.AddLine({x0 + 187, y + canvasHeight_}, {x0 + 194, y + canvasHeight_}, dotted);
            y += canvasHeight_ + 1;
        }

        ComposeTitle(scratch_, item);
        Text({x0 + 38, y0 + 37}, scratch_, FontRole::Canvas, kItemFill);

        ComposeBody(scratch_, item, variables_);
        const bool screen = HasScreen(item);
        const FontRole font = screen ? FontRole::Canvas : FontRole::Small;
        const std::size_t cut = screen ? kPreviewLength : kDescriptionLength;
        int line = 0;
        ForEachLine(scratch_, [&](std::string_view text) {
            Text({x0 + 38, y0 + 54 + 16 * line}, text.substr(0, cut), font, kItemFill);
            return ++line < kBodyLines;
        });
    }

    void Channels(int width, int height)
    {
        for (int k = 0; k * kCellHeight + kChannelWidth <= height; ++k)
            out_.AddRect({0, k * kCellHeight + 1, width, k * kCellHeight + 35}, Pen{}, true, kWhite);
        for (int k = 0; k * kCellWidth + kChannelWidth <= width; ++k)
            out_.AddRect({k * kCellWidth + 1, 0, k * kCellWidth + 35, height}, Pen{}, true, kWhite);
    }

    void Connections(std::span<const RoutedLine> lines)
    {
        for (const RoutedLine& line : lines) {
            const int count = std::clamp(line.pointCount, 0, static_cast<int>(line.points.size()));
            out_.AddPolyline(std::span<const PixelPoint>(line.points.data(), count), ConnectionPen(line.highlight));
        }
    }

    static PixelPoint BottomLabelAt(const TitcItem& item, const TBag& exit, const FontMetrics& metrics)
    {
        const int w = metrics.TextWidth(FontRole::Canvas, 0, exit.label);
        const int span = exit.last - exit.first;
        const int g = w < span - 1 ? (span - w) / 2 : 0;
        return {item.column * kCellWidth + 36 + exit.first + g, item.row * kCellHeight + kStripTop};
    }

private:
    void Text(PixelPoint at, std::string_view text, FontRole font, Rgb background)
    {
        if (text.empty())
            return;
        TextStyle style;
        style.font = font;
        style.opaque = true;
        style.background = background;
        const int h = font == FontRole::Canvas ? canvasHeight_ : smallHeight_;
        out_.AddText(at, text, style, TextCell(at, metrics_.TextWidth(font, 0, text), h, 0));
    }

    DisplayList& out_;
    const VariableTable& variables_;
    const FontMetrics& metrics_;
    int canvasHeight_;
    int smallHeight_;
    std::string scratch_;
};

} // namespace

int PictureWidth(int gridColumns) { return gridColumns * kCellWidth + kChannelWidth; }
int PictureHeight(int gridRows) { return gridRows * kCellHeight + kChannelWidth; }

CellPoint CellAt(int x, int y)
{
    const int column = FloorDiv(x, kCellWidth);
    const int row = FloorDiv(y, kCellHeight);
    return {row, column, x - column * kCellWidth, y - row * kCellHeight};
}

PixelRect CellBox(int row, int column)
{
    const int x0 = column * kCellWidth, y0 = row * kCellHeight;
    return {x0 + 35, y0 + 35, x0 + 196, y0 + 201};
}

PixelRect BottomExitStrip(int row, int column)
{
    const int x0 = column * kCellWidth, y0 = row * kCellHeight;
    return {x0 + 36, y0 + kStripTop, x0 + 196, y0 + 201};
}

PixelRect RightExitStrip(int row, int column)
{
    const int x0 = column * kCellWidth, y0 = row * kCellHeight;
    return {x0 + 186, y0 + 36, x0 + 196, y0 + 201};
}

std::string FormatConstant(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    // Three decimals, rounded; then trailing zeros and a zero whole part go,
    // as every place of the pattern is optional.
    const int size = std::snprintf(nullptr, 0, "%.3f", std::fabs(value));
    if (size <= 0)
        return "0";
    std::string digits(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(digits.data(), digits.size(), "%.3f", std::fabs(value));
    digits.resize(static_cast<std::size_t>(size));
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (whole == "0")
        whole.clear();
    if (whole.empty() && fraction.empty())
        return {};
    std::string out = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += ',';
        out += whole[i];
    }
    if (!fraction.empty())
        (out += '.') += fraction;
    return out;
}

std::string ScreenPreview(std::string_view screenText, const VariableTable& variables)
{
    std::string out;
    AppendScreenPreview(out, screenText, variables);
    return out;
}

std::string ItemDescription(const TitcItem& item, const VariableTable& variables)
{
    std::string out;
    AppendDescription(out, item, variables);
    return out;
}

ItemText ItemTexts(const TitcItem& item, const VariableTable& variables)
{
    ItemText text;
    ComposeTitle(text.title, item);
    std::string body;
    ComposeBody(body, item, variables);
    const bool screen = HasScreen(item);
    text.bodyFont = screen ? FontRole::Canvas : FontRole::Small;
    const std::size_t cut = screen ? kPreviewLength : kDescriptionLength;
    ForEachLine(body, [&](std::string_view line) {
        text.body.emplace_back(line.substr(0, cut));
        return text.body.size() < static_cast<std::size_t>(kBodyLines);
    });
    return text;
}

std::string ExitAt(const TitcItem& item, int xr, int yr, const FontMetrics& metrics)
{
    if (yr >= kStripTop) {
        const int count = std::clamp(item.bottomExitCount, 0, kExitSlots);
        for (int i = 0; i < count; ++i)
            if (item.bottomExits[i].last > xr - 35)
                return item.bottomExits[i].label;
        return {};
    }
    const int count = std::clamp(item.rightExitCount, 0, kExitSlots);
    int b = 1;
    for (int j = 0; j < count; ++j) {
        b += metrics.TextHeight(FontRole::Canvas, 0) + 1;
        if (b >= yr - 35)
            return item.rightExits[j].label;
    }
    return {};
}

ScrollPosition ScrollToCell(ScrollPosition position, int viewWidth, int viewHeight, int row, int column)
{
    auto axis = [](int pos, int view, int index, int step) {
        // A view narrower than no pixel at all still moves by whole cells.
        while (pos + view < (index + 1) * step)
            pos += step;
        if (index * step < pos)
            pos = index * step;
        return pos;
    };
    return {axis(position.x, viewWidth, column, kCellWidth), axis(position.y, viewHeight, row, kCellHeight)};
}

Pen ConnectionPen(int highlight)
{
    switch (highlight) {
    case 1: return Pen{PenStyle::Solid, Rgb{0, 0, 128}, 2};
    case 2: return Pen{PenStyle::Solid, Rgb{0, 128, 0}, 2};
    default: return Pen{PenStyle::Solid, Rgb{255, 0, 0}, 1};
    }
}

void BuildMachinePicture(DisplayList& out, const TitcItemsList& items, const VariableTable& variables,
                         int gridColumns, int gridRows, const MachineSelection& selection,
                         const FontMetrics& metrics, std::span<const RoutedLine> connections)
{
    out.Clear();
    out.width = PictureWidth(gridColumns);
    out.height = PictureHeight(gridRows);
    out.background = kWhite;

    PictureBuilder build(out, variables, metrics);
    // Empty frames for the cells no item covers (an item's box covers the
    // frame of its cell whole).
    std::vector<bool> occupied(static_cast<std::size_t>(std::max(0, gridColumns) * std::max(0, gridRows)), false);
    // Items placed beyond the grid (only through edited files) would lie
    // outside the picture; they are left out rather than have their pixel
    // positions overflow.
    auto inGrid = [&](int row, int column) {
        return row >= 0 && row < gridRows && column >= 0 && column < gridColumns;
    };
    items.ForEachItem([&](const TitcItem& item) {
        if (inGrid(item.row, item.column))
            occupied[static_cast<std::size_t>(item.row) * gridColumns + item.column] = true;
    });
    for (int r = 0; r < gridRows; ++r)
        for (int c = 0; c < gridColumns; ++c)
            if (!occupied[static_cast<std::size_t>(r) * gridColumns + c])
                build.EmptyCell(r, c);

    items.ForEachItem([&](const TitcItem& item) {
        if (inGrid(item.row, item.column))
            build.Item(item, selection);
    });
    build.Channels(out.width, out.height);
    build.Connections(connections);

    if (inGrid(selection.row, selection.column))
        out.AddRect(CellBox(selection.row, selection.column), Pen{PenStyle::Solid, kBlue, 1}, false);
}

} // namespace qvt
