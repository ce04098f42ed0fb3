#include "model/item_record.h"

#include "core/decimal.h"
#include "core/text_escaping.h"

#include <cmath>
#include <limits>

namespace qvt {

namespace {

// Copy of `count` characters from 0-based `start`, empty when out of range.
std::string_view Slice(std::string_view s, std::ptrdiff_t start, std::ptrdiff_t count)
{
    if (count <= 0 || start < 0 || start >= static_cast<std::ptrdiff_t>(s.size()))
        return {};
    return s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

// 1-based position of the first occurrence, 0 when absent.
std::ptrdiff_t Pos(std::string_view s, std::string_view what)
{
    const auto p = s.find(what);
    return p == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(p) + 1;
}
} // namespace

std::string EscapeRecordText(std::string_view text)
{
    return StoreText(text);
}

std::string UnescapeRecordText(std::string_view text)
{
    return RestoreText(text);
}

std::optional<std::int32_t> ParseRecordInt(std::string_view text)
{
    return ParseDecimal(text);
}

std::int32_t ThousandthsOf(double value)
{
    if (std::isnan(value))
        return 0;
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // someone changed it; the stored files were written with ties to even.
    const double scaled = std::nearbyint(value * 1000.0);
    if (scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(scaled);
}

bool ConstantFitsRecord(double value)
{
    if (!std::isfinite(value))
        return false;
    const double scaled = std::nearbyint(value * 1000.0);
    return scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::max()) &&
           scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::min());
}

std::optional<std::string> RecordTextProblem(std::string_view text)
{
    if (text.find("#3") != std::string_view::npos)
        return std::string("The text cannot contain \"#3\".");
    for (char c : text)
        if (c == kStoredLineFeed || c == kStoredCarriageReturn || c == kStoredBackslash)
            return std::string("The text cannot contain the characters \xF8, \xF9 or \xFF.");
    return std::nullopt;
}

std::optional<std::int32_t> KindOfRecord(std::string_view record)
{
    constexpr std::string_view kTip = "#tip=";
    const auto tip = record.find(kTip);
    const auto end = record.find("\\#2");
    if (tip == std::string_view::npos || end == std::string_view::npos || tip >= end)
        return std::nullopt;
    // "#tip=" holds no backslash, so a "\#2" after its start also lies after its end.
    const auto from = tip + kTip.size();
    return ParseRecordInt(record.substr(from, end - from));
}

void RecordWriter::Key(std::string_view key)
{
    if (!first_)
        out_ += '\\';
    first_ = false;
    out_ += '#';
    out_ += key;
    out_ += '=';
}

void RecordWriter::Int(std::string_view key, std::int32_t value)
{
    Key(key);
    out_ += std::to_string(value);
}

void RecordWriter::Text(std::string_view key, std::string_view text)
{
    Key(key);
    out_ += EscapeRecordText(text);
}

void RecordWriter::Bool(std::string_view key, bool value)
{
    Key(key);
    out_ += value ? '1' : '0';
}

void RecordWriter::Thousandths(std::string_view key, double value)
{
    Int(key, ThousandthsOf(value));
}

RecordPairs::RecordPairs(std::string_view rest)
{
    while (!rest.empty() && static_cast<int>(pairs_.size()) < kMaxPairs) {
        const auto hash = rest.find('#');
        const auto equals = rest.find('=');
        const auto backslash = rest.find('\\');
        if (hash == std::string_view::npos || equals == std::string_view::npos || equals < hash ||
            backslash == std::string_view::npos || backslash < equals)
            break;
        pairs_.emplace_back(rest.substr(hash + 1, equals - hash - 1), rest.substr(equals + 1, backslash - equals - 1));
        rest.remove_prefix(backslash + 1);
    }
}

void RecordPairs::ReadInt(std::string_view key, std::int32_t& field) const
{
    field = 0;
    for (const auto& [k, v] : pairs_) {
        if (k != key)
            continue;
        const auto value = ParseRecordInt(v);
        if (!value)
            return;
        field = *value;
    }
}

void RecordPairs::ReadText(std::string_view key, std::string& field) const
{
    field.clear();
    for (const auto& [k, v] : pairs_)
        if (k == key)
            field = UnescapeRecordText(v);
}

void RecordPairs::ReadBool(std::string_view key, bool& field) const
{
    std::int32_t value = 0;
    ReadInt(key, value);
    field = value != 0;
}

void RecordPairs::ReadThousandths(std::string_view key, double& field) const
{
    std::int32_t value = 0;
    ReadInt(key, value);
    field = value / 1000.0;
}

RecordSections SplitRecord(std::string_view record)
{
    // Positions are 1-based with 0 for a missing mark, as the stored files'
    // readers count them; a missing "#1" makes the base start at the second
    // character.
    const std::ptrdiff_t p1 = Pos(record, "#1");
    const std::ptrdiff_t p2 = Pos(record, "#2");
    const std::ptrdiff_t p3 = Pos(record, "#3");
    RecordSections s;
    if (p2 > p1)
        s.base = Slice(record, p1 + 1, p2 - p1 - 2);
    if (p3 > p2)
        s.kind = Slice(record, p2 + 1, p3 - p2 - 2);
    if (p3 > 0)
        s.tail = Slice(record, p3 + 1, static_cast<std::ptrdiff_t>(record.size()));
    return s;
}

BaseFields ReadBaseSection(std::string_view rest)
{
    BaseFields f;
    // Each key is looked for in what the previous one left, up to the first
    // backslash: the keys are only found in this order, and a bad value hides
    // every key after it.
    const std::pair<std::string_view, std::int32_t*> keys[] = {
        {"#id=", &f.id}, {"#sat=", &f.row}, {"#sut=", &f.column}, {"#tip=", &f.kind}};
    for (const auto& [key, field] : keys) {
        const auto at = rest.find(key);
        const auto backslash = rest.find('\\');
        if (at == std::string_view::npos || backslash == std::string_view::npos || backslash < at)
            continue;
        const auto from = at + key.size();
        const auto value = ParseRecordInt(rest.substr(from, backslash - from));
        if (!value)
            continue;
        *field = *value;
        rest.remove_prefix(backslash + 1);
    }
    return f;
}

} // namespace qvt
