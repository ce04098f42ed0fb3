#pragma once

#include "shell/project_state.h"

namespace qvt {

// Rebuilds project.labelData from project.labelText in image mode. On failure
// labelData holds the message to show; the result tells which.
bool CompileProjectLabel(ProjectState& project);

} // namespace qvt
