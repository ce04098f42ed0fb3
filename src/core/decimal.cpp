#include "core/decimal.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace qvt {

std::optional<int> ParseDecimal(std::string_view text)
{
    // from_chars takes a minus of its own but no plus; a plus may not be
    // followed by a second sign.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

namespace {

std::string_view TrimmedBlanks(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<int> ParseWholeInitialValue(std::string_view text)
{
    return ParseDecimal(TrimmedBlanks(text));
}

std::optional<float> ParseRealInitialValue(std::string_view text)
{
    std::string number(TrimmedBlanks(text));
    if (const size_t comma = number.find(','); comma != std::string::npos)
        number[comma] = '.';
    std::string_view digits = number;
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    // from_chars would also take "inf" and "nan", which are no numbers here.
    if (digits.empty() || digits.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || std::fabs(value) > FLT_MAX)
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace qvt
