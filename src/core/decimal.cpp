#include "core/decimal.h"

#include <charconv>

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

} // namespace qvt
