#pragma once

#include <optional>
#include <string_view>

namespace qvt {

// A whole number as the files and prompts spell it: one optional sign ("+" or
// "-") and decimal digits, nothing else around them, within 32 bits. Every
// reader of stored numbers uses this one rule, so a value one part of the
// program writes is read the same way everywhere.
std::optional<int> ParseDecimal(std::string_view text);

// Initial values of numeric variables, as the image takes them from what the
// user typed: blanks (and control bytes) around the number are ignored. A
// whole number follows ParseDecimal. A real number takes "." or "," as its
// decimal separator (one of them only: "1,234.5" is no number), an optional
// sign and exponent, and must fit a single-precision float. The variable list
// asks the same question the compiler answers, so "Assumed 0" is said exactly
// when the terminal will start at 0.
std::optional<int> ParseWholeInitialValue(std::string_view text);
std::optional<float> ParseRealInitialValue(std::string_view text);

} // namespace qvt
