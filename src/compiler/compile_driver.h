#pragma once

#include "compiler/compile_errors.h"
#include "core/project_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qvt {

class Messages;
class TitcItemsList;

// What a project compile needs besides the project's machines, variables and
// compiled label.
struct CompileSettings {
    std::string fileName;  // names the image: its last three characters become "ITF"
    std::string version;
    int onlineTimerInterval = 0;
    int offlineTimerInterval = 0;
    std::string imagePath;  // when not empty, the image is written here instead

    // The main window's values: the project's file name ("noname.itf" for a
    // project never saved), version and timer intervals.
    static CompileSettings ForProject(const ProjectState& project);
};

enum class CompileOutcome {
    ImageWritten,     // every machine compiled and the image file was written
    ErrorsInMachine,  // `machine` has item errors, listed in `errors`; later machines were not compiled
    CompileFailed,    // a limit was exceeded or the file could not be written; `reason` says which
};

struct CompileResult {
    CompileOutcome outcome = CompileOutcome::CompileFailed;
    MachineId machine = MachineId::Online;
    ErrorList errors;
    std::string reason;
    std::string imagePath;            // ImageWritten: the file written
    std::vector<std::uint8_t> image;  // the image's bytes (ImageWritten)
};

// Compiles the open project's four machines from their text, in the order
// Online, Online/Timer, Offline, Offline/Timer (each timer machine continues
// its main machine's code), stopping after the first machine with errors, and
// writes the image file through a save file. Messages of reading the machine
// texts and "Could not create the file..." go through `messages`; a file that
// could not be created is a CompileFailed.
CompileResult CompileProject(const ProjectState& project, const CompileSettings& settings, Messages& messages);

// The same without writing a file: on ImageWritten, `image` holds the bytes
// and nothing was written.
CompileResult CompileProjectImage(const ProjectState& project, const CompileSettings& settings, Messages& messages);

// A check of one machine, as the design window runs it on the items it edits.
struct CheckResult {
    ErrorList errors;
    std::optional<std::string> failure;  // a limit exceeded, with machine and item
};

// Checks `items` as machine `machine` alone; a timer machine starts at base 0
// and the start of its area. Writes no file.
CheckResult CheckMachine(MachineId machine, const TitcItemsList& items);

struct MachineCheck {
    MachineId machine = MachineId::Online;
    ErrorList errors;
    std::optional<std::string> failure;
};

struct ProjectCheck {
    // In compile order: Online, Online/Timer, Offline, Offline/Timer.
    std::array<MachineCheck, 4> machines;
    // A limit of the image itself, looked at only when every machine compiled
    // cleanly.
    std::optional<std::string> imageFailure;

    bool hasErrors() const;
    bool hasFailures() const;
};

// Compiles all four machines as CompileProject does, but goes on after a
// machine with errors or a failure, and lays out the image without writing it.
ProjectCheck CheckProject(const ProjectState& project, const CompileSettings& settings, Messages& messages);

} // namespace qvt
