#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace qvt {

// Turkish Windows code page, the 8-bit text of every file the designer reads
// and writes. Bytes without a character (0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D,
// 0x9E) map to the C1 control of the same number so that every byte survives
// a round trip through a text widget.
QString fromCp1254(std::string_view bytes);
// Characters outside the code page become '?'.
std::string toCp1254(const QString& text);

// True when every character of `text` has a byte in the code page, so that
// toCp1254 keeps it. Editors check typed and pasted text with it and refuse
// what would otherwise be stored as '?'.
bool FitsCp1254(const QString& text);
// The characters of `text` that have no byte in the code page, each once, in
// the order they first occur (a pair of surrogates counts as one character).
QString CharactersOutsideCp1254(const QString& text);

} // namespace qvt
