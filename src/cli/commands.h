#pragma once

#include "cli/command_line.h"

#include <memory>

class QCoreApplication;

// The commands of `qvt`, one or two to a *_command.cpp file; main.cpp lists
// them in the order `qvt --help` shows.
namespace qvt::cli {

extern const Command kCompileCommand;   // qvt compile
extern const Command kCheckCommand;     // qvt check
extern const Command kLabelCommand;     // qvt label
extern const Command kPortsCommand;     // qvt ports
extern const Command kUploadCommand;    // qvt upload
extern const Command kSimulateCommand;  // qvt simulate
extern const Command kRenderCommand;    // qvt render

// The application a command needs beyond the front's QCoreApplication (render
// paints: a QGuiApplication, offscreen unless a platform is chosen); null for
// the others. Made before runTool, which then uses it.
std::unique_ptr<QCoreApplication> ApplicationForCommand(int& argc, char** argv);

} // namespace qvt::cli
