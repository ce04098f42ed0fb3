#include "compiler/screen_encoding.h"

#include "compiler/compile_failure.h"
#include "compiler/operand.h"

#include <algorithm>
#include <string>

namespace qvt {

ScreenBytes EncodeScreen(std::string_view text)
{
    // A marker in the twentieth column takes its letter from the next column,
    // so a line can give 21 bytes; the room for that is checked at the end.
    std::array<std::uint8_t, kScreenLines * (kScreenColumns + 1)> out{};
    size_t written = 0;
    std::string_view rest = text;
    for (int lineNo = 0; lineNo < kScreenLines; ++lineNo) {
        const size_t lineEnd = rest.find("\r\n");
        std::string line(rest.substr(0, lineEnd));
        if (!rest.empty())
            rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 2);
        line.append(size_t(kScreenColumns), ' ');

        size_t pos = 0;
        while (pos < size_t(kScreenColumns)) {
            const auto c = static_cast<unsigned char>(line[pos]);
            if (c == kScreenVariableMarker) {
                const int index = static_cast<unsigned char>(line[pos + 1]) - 65;
                if (index >= 0 && index <= 115) {
                    const Operand operand = EncodeOperand(index, 0);
                    out[written++] = operand.type;
                    out[written++] = operand.value;
                    pos += 2;
                    continue;
                }
            }
            out[written++] = c;
            ++pos;
        }
    }
    if (written > size_t(kScreenSize))
        throw CompileFailure("screen text does not fit in " + std::to_string(kScreenSize) + " bytes");
    ScreenBytes screen;
    std::copy_n(out.begin(), kScreenSize, screen.begin());
    return screen;
}

} // namespace qvt
