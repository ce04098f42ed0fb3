#pragma once

#include "cli/command_line.h"

// The commands of `qvt`, one or two to a *_command.cpp file; main.cpp lists
// them in the order `qvt --help` shows.
namespace qvt::cli {

extern const Command kCompileCommand;   // qvt compile
extern const Command kCheckCommand;     // qvt check
extern const Command kLabelCommand;     // qvt label
extern const Command kPortsCommand;     // qvt ports
extern const Command kUploadCommand;    // qvt upload
extern const Command kSimulateCommand;  // qvt simulate

} // namespace qvt::cli
