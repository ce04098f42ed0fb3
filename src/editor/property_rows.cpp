#include "editor/property_rows.h"

#include "core/decimal.h"
#include "model/item_kinds.h"
#include "model/item_record.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace qvt {

namespace {

std::string_view Trim(std::string_view text)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

void AddRange(std::vector<int>& out, int first, int last)
{
    for (int i = first; i <= last; ++i)
        out.push_back(i);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::vector<PanelRowOf> PanelRows(std::int32_t kind)
{
    std::vector<PanelRowOf> rows;
    for (const ItemField& field : KindFields(kind)) {
        if (field.row == PanelRow::None)
            continue;
        // Input Length is part of the Input Type handler but a row of its own.
        auto it = std::find_if(rows.begin(), rows.end(), [&](const PanelRowOf& r) { return r.row == field.row; });
        if (it == rows.end())
            rows.push_back({field.row, field.caption, {&field}});
        else
            it->fields.push_back(&field);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const PanelRowOf& a, const PanelRowOf& b) { return a.row < b.row; });
    return rows;
}

const PanelRowOf* FindPanelRow(const std::vector<PanelRowOf>& rows, PanelRow row)
{
    for (const PanelRowOf& r : rows)
        if (r.row == row)
            return &r;
    return nullptr;
}

std::vector<int> VariableChoices(std::int32_t kind, PanelRow row)
{
    std::vector<int> out;
    switch (row) {
    case PanelRow::Target:
        switch (kind) {
        case KindInput: AddRange(out, 1, 100); break;
        case KindStrCopy: AddRange(out, 1, 101); break;
        case KindGetSequence:
        case KindStrCat:
        case KindStrCmp:
        case KindGetDate:
        case KindGetTime: AddRange(out, 1, 30); break;
        case KindWdt:
        case KindSecOfCentury:
        case KindStrLen:
        case KindStrPos: AddRange(out, 31, 80); break;
        case KindProcess:
            AddRange(out, 31, 100);
            AddRange(out, 103, 107);
            AddRange(out, 113, 114);
            break;
        case KindNumCmp: AddRange(out, 31, 100); break;
        default: break;
        }
        break;
    case PanelRow::Source:
        switch (kind) {
        case KindStrLen: AddRange(out, 1, 30); break;
        case KindSync:
        case KindWriteToFlash: AddRange(out, 1, 100); break;
        case KindStrCmp: AddRange(out, 0, 30); break;
        case KindStrCopy:
        case KindStrCat:
            AddRange(out, 0, 102);
            AddRange(out, 108, 112);
            out.push_back(115);
            break;
        case KindStrPos:
            AddRange(out, 1, 30);
            AddRange(out, 101, 102);
            break;
        case KindProcess:
        case KindNumCmp:
            out.push_back(0);
            AddRange(out, 31, 100);
            AddRange(out, 103, 112);
            break;
        case KindWdt: AddRange(out, 31, 80); break;
        default: break;
        }
        break;
    case PanelRow::Source2:
        if (kind == KindWriteToFlash) {
            AddRange(out, 31, 80);
            AddRange(out, 103, 112);
        } else if (kind == KindWdt) {
            AddRange(out, 31, 80);
        }
        break;
    case PanelRow::Start:
    case PanelRow::End:
        if (kind == KindStrCopy || kind == KindStrCat) {
            out.push_back(0);
            AddRange(out, 31, 80);
        }
        break;
    default: break;
    }
    return out;
}

std::vector<VariableChoice> SortedVariableChoices(const VariableTable& variables, const std::vector<int>& indexes)
{
    std::vector<VariableChoice> out;
    for (int index : indexes) {
        if (index < 0 || index >= kVariableCount)
            continue;
        const std::string& name = variables[static_cast<std::size_t>(index)].name;
        if (Trim(name).empty())
            continue;
        out.push_back({name, index});
    }
    std::stable_sort(out.begin(), out.end(), [](const VariableChoice& a, const VariableChoice& b) {
        const std::size_t n = std::min(a.name.size(), b.name.size());
        for (std::size_t i = 0; i < n; ++i) {
            const auto x = static_cast<unsigned char>(Lower(a.name[i]));
            const auto y = static_cast<unsigned char>(Lower(b.name[i]));
            if (x != y)
                return x < y;
        }
        if (a.name.size() != b.name.size())
            return a.name.size() < b.name.size();
        return a.index < b.index;
    });
    return out;
}

bool NameUnnamedVariable(VariableTable& variables, int index)
{
    if (index < 0 || index >= kVariableCount)
        return false;
    std::string& name = variables[static_cast<std::size_t>(index)].name;
    if (!Trim(name).empty())
        return false;
    name = "noname" + std::to_string(index);
    return true;
}

std::int32_t ReadWholeNumber(std::string_view text)
{
    return ParseDecimal(Trim(text)).value_or(0);
}

std::int32_t ReadStateNumber(std::string_view text)
{
    const std::int32_t n = ReadWholeNumber(text);
    return n < 0 || n > 255 ? 0 : n;
}

ConstantReading ReadConstant(std::string_view text)
{
    text = Trim(text);
    std::string_view rest = text;
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // The digits of the number without its point, and how many of them stand
    // before the point.
    std::string digits;
    std::size_t wholeDigits = 0;
    std::size_t i = 0;
    // Whole part: digits, with "," only between groups of three.
    std::size_t group = 0;
    bool grouped = false;
    while (i < rest.size() && (IsDigit(rest[i]) || rest[i] == ',')) {
        if (rest[i] == ',') {
            if (digits.empty() || (grouped && group != 3) || (!grouped && group > 3))
                return {};
            grouped = true;
            group = 0;
        } else {
            digits += rest[i];
            ++group;
        }
        ++i;
    }
    if (grouped && group != 3)
        return {};
    wholeDigits = digits.size();
    if (i < rest.size() && rest[i] == '.') {
        ++i;
        while (i < rest.size() && IsDigit(rest[i]))
            digits += rest[i++];
    }
    if (digits.empty())
        return {};
    long long exponent = 0;
    if (i < rest.size() && (rest[i] == 'e' || rest[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < rest.size() && (rest[i] == '+' || rest[i] == '-'))
            negativeExponent = rest[i++] == '-';
        if (i >= rest.size())
            return {};
        while (i < rest.size() && IsDigit(rest[i])) {
            exponent = std::min(exponent * 10 + (rest[i] - '0'), 1000000LL);
            ++i;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != rest.size())
        return {};

    // Thousandths: the digits up to three places after the point, the rest
    // rounds half to even.
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return {true, 0};
    const long long point = static_cast<long long>(wholeDigits) + exponent + 3;  // digits kept
    if (point - static_cast<long long>(first) > 12)  // far beyond 32 bits
        return {false, 0};
    long long kept = 0;
    for (long long k = 0; k < point; ++k)
        kept = kept * 10 + (k < static_cast<long long>(digits.size()) ? digits[static_cast<std::size_t>(k)] - '0' : 0);
    // What falls away: above, exactly at or below one half.
    int roundUp = 0;
    if (point >= 0 && point < static_cast<long long>(digits.size())) {
        const std::string_view dropped = std::string_view(digits).substr(static_cast<std::size_t>(point));
        if (dropped.front() > '5')
            roundUp = 1;
        else if (dropped.front() == '5')
            roundUp = dropped.find_first_not_of('0', 1) != std::string_view::npos || (kept % 2 != 0) ? 1 : 0;
    } else if (point < 0) {
        kept = 0; // every digit lies below half a thousandth
    }
    kept += roundUp;
    const long long value = negative ? -kept : kept;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return {false, 0};
    return {true, static_cast<std::int32_t>(value)};
}

std::optional<std::int32_t> ReadInputNumber(std::string_view text)
{
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty())
        return 0;
    return ParseDecimal(trimmed);
}

std::string InvalidIntegerMessage(std::string_view text)
{
    return "'" + std::string(text) + "' is not a valid integer value.";
}

InputTypeView ViewInputType(std::int32_t format, std::int32_t size)
{
    InputTypeView view;
    const int typeClass = (format / 64) % 4;
    const bool isSigned = (format & 32) != 0;
    if (typeClass == 0)
        view.type = isSigned ? 1 : 0;
    else if (typeClass == 1)
        view.type = isSigned ? 3 : 2;
    else
        view.type = 4;
    if (typeClass == 1) {
        view.length = format % 32;
        view.decimals = size;
        view.decimalsEnabled = true;
    } else {
        view.length = size;
        view.decimals = 0;
    }
    return view;
}

InputFormat ComposeInputFormat(int type, std::int32_t length, std::int32_t decimals)
{
    switch (type) {
    case 0: return {0, length};
    case 1: return {32, length};
    case 2: return {length + 64, decimals};
    case 3: return {length + 96, decimals};
    case 4: return {128, length};
    default: return {0, 0};
    }
}

std::optional<std::string> TypedTextProblem(std::string_view text)
{
    return RecordTextProblem(text);
}

std::string OutsideCodePageMessage(std::string_view codePoints)
{
    return "The text cannot hold characters outside the Windows-1254 code page (" + std::string(codePoints) + ").";
}

} // namespace qvt
