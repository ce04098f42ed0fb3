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

} // namespace qvt
