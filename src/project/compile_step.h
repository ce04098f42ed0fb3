#pragma once

#include "compiler/compile_driver.h"
#include "project/project_file.h"

#include <functional>

namespace qvt {

// Called with the first machine that has item errors. The design window shows
// such a machine with its error list; until then the caller lists the errors.
using ShowMachineErrors = std::function<void(MachineId machine, const ErrorList& errors)>;

// The compile that Compile and Upload share: the save question (Yes/No only;
// No compiles the unsaved state), then the four machines into the image file
// named after the project ("noname.itf" before the first save). True when the
// image file was written; `imagePath` then names it.
bool CompileStep(ProjectSession& session, const ShowMachineErrors& showErrors, std::string* imagePath = nullptr);

// "<machine>: item <id>: <error text>", one line per error, CR LF between lines.
std::string DescribeMachineErrors(MachineId machine, const ErrorList& errors);

} // namespace qvt
