#pragma once

#include "compiler/code_writer.h"
#include "compiler/compile_errors.h"
#include "compiler/image_layout.h"
#include "core/image_file_name.h"
#include "core/project_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

class Messages;
class TitcItemsList;

// The image builder: the working areas the four machines are compiled into,
// and the layout of the image file from them. One builder serves one compile.
// It is large (four 40 KB areas); keep it on the heap.
class TIT {
public:
    // `fileName` is the project file the image is named after.
    TIT(std::string_view fileName, std::string_view version);

    Area onlineCode{};
    Area offlineCode{};
    Area onlineScreens{};
    Area offlineScreens{};
    int onlineScreenCount = 0;
    int offlineScreenCount = 0;
    std::uint16_t onlineTimerBase = 0;
    std::uint16_t offlineTimerBase = 0;
    std::string projectFileName;
    std::string version;

    // The image file named after the project (ImageFileNameFor).
    std::string ImageFileName() const { return ImageFileNameFor(projectFileName); }

    // Compiles `items` as machine `machine` into the areas, the errors of its
    // items into `errors` (emptied first). A timer machine continues the code
    // and the ids of the main machine compiled just before it; with
    // `standalone` it starts on its own, at base 0 and the start of its area,
    // as a check of that machine alone does. Throws CompileFailure when a
    // limit is exceeded.
    void CompileMachine(MachineId machine, const TitcItemsList& items, ErrorList& errors, bool standalone = false);

    // The image file's bytes, laid out from the areas, the variables' initial
    // values, the version and the compiled label. Throws CompileFailure when
    // the image does not fit its offset fields or its buffer.
    std::vector<std::uint8_t> LayoutImage(const VariableTable& variables, std::string_view labelData,
                                          int onlineTimerInterval, int offlineTimerInterval) const;

    // Lays out the image and writes it to `path` (ImageFileName() when empty)
    // through a save file, so a failed write leaves any old image whole.
    // When the file cannot be created, shows "Could not create the file..."
    // through `messages`; that and every other failure throw CompileFailure.
    // Returns the bytes written.
    std::vector<std::uint8_t> WriteImageFile(const ProjectState& project, int onlineTimerInterval,
                                             int offlineTimerInterval, Messages& messages,
                                             const std::string& path = {}) const;

private:
    CodeWriter writer_;
    std::optional<MachineId> lastMachine_;
};

// Writes image bytes to `path` through a save file. See TIT::WriteImageFile.
void WriteImageBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, Messages& messages);

inline constexpr std::string_view kMsgCouldNotCreateFile = "Could not create the file...";

} // namespace qvt
