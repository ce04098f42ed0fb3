#pragma once

#include "core/messages.h"
#include "core/project_state.h"
#include "label/label_design.h"
#include "label/label_printer.h"

#include <optional>
#include <string>
#include <string_view>

namespace qvt {

// The label window's commands that reach the project or the printer, without
// the window.

inline constexpr std::string_view kLabelCompiledTitle = "Compiled...";
inline constexpr std::string_view kLabelCompiledMessage = "Label Data Completed...";
inline constexpr std::string_view kLabelNotCompiled = "Not Compiled..!";
inline constexpr std::string_view kLabelPrintCompileError = "Label file load error.";

// The label text of the design; nullopt when it cannot be built, or when
// what was built does not read back as the same number of elements.
std::optional<std::string> TryBuildLabelText(const LabelDesign& design, const VariableTable& variables);

// Compile: compiles the project's label text as last saved (not the drawing)
// into labelData. On failure labelData is emptied and "Not Compiled..!" is
// shown with the compiler's reason; on success "Compiled..." is shown when
// `report` is set.
bool CompileSavedLabel(ProjectState& project, Messages& messages, bool report);

// Save: stores the label text as the project's label text and as
// `savedLabelText`, then compiles it as Compile does, without the success
// message. A label text that could not be built (nullopt) shows
// "Label File save error." and leaves the previous label text in place.
bool SaveLabel(ProjectState& project, const std::optional<std::string>& labelText, std::string& savedLabelText,
               Messages& messages);

// Test print of the drawing as it is now: compiled in print mode (every
// variable at its initial value) and sent to where the port leads. A label
// that does not compile shows "Label file load error."; a port that cannot
// take the stream shows the port's message and what went wrong.
bool TestPrint(std::string_view labelText, const VariableTable& variables, PrinterPort port,
               const PrinterPortMap& ports, PrinterOutput& output, Messages& messages);

} // namespace qvt
