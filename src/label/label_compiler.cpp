#include "label/label_compiler.h"

namespace qvt {

bool CompileProjectLabel(ProjectState& project)
{
    // Placeholder until the label compiler lands: an empty label compiles to nothing.
    project.labelData.clear();
    return project.labelText.empty();
}

} // namespace qvt
