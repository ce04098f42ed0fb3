#pragma once

#include <optional>
#include <string_view>

namespace qvt {

// A whole number as the files and prompts spell it: one optional sign ("+" or
// "-") and decimal digits, nothing else around them, within 32 bits. Every
// reader of stored numbers uses this one rule, so a value one part of the
// program writes is read the same way everywhere.
std::optional<int> ParseDecimal(std::string_view text);

} // namespace qvt
