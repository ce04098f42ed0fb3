#include "compiler/compile_failure.h"

namespace qvt {

std::string CompileFailure::describe() const
{
    std::string text;
    if (machine) {
        text += machineName(*machine);
        text += ": ";
    }
    if (itemId != 0) {
        text += "item " + std::to_string(itemId) + ": ";
    }
    return text + limit_;
}

} // namespace qvt
