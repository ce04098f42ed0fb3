#include "compiler/compile_errors.h"

namespace qvt {

std::string_view ErrorText(int code)
{
    // Row k is the text of code k; the spelling is the one users know.
    static constexpr std::array<std::string_view, kErrorCodeCount + 1> texts = {
        "",
        "Target must be selected",
        "Source must be selected",
        "Constant string must be entered",
        "State number mast be unique",
        "[Ok] Connection must be defined",
        "[Err] Connection must be defined",
        "[Next] Connection must be defined",
        "At least one connection required",
        "Column value is out of range [1..20]",
        "Row value is out of range [1..8]",
        "[Equal] Connection must be defined",
        "[Not Equal] Connection must be defined",
        "[Less] Connection must be defined",
        "[Greater] Connection must be defined",
        "Start Time must be selected",
        "Increment must be selected",
        "Flag must be selected",
    };
    if (code < 1 || code > kErrorCodeCount)
        return {};
    return texts[size_t(code)];
}

} // namespace qvt
