#pragma once

#include "core/messages.h"
#include "core/project_state.h"

namespace qvt::examples {

// The sample stock-count program: the terminal asks for an item code and a
// quantity, writes them to flash and counts the records; the label prints the
// quantity and the item code as a barcode. Fills `project` as a new project
// saved nowhere yet; returns false when a piece could not be stored.
bool BuildStockCountProject(ProjectState& project, Messages& messages);

} // namespace qvt::examples
