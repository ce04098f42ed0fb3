#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvt {

// The system's open and save file dialogs. The filter uses the
// "Description|pattern|Description|pattern" form; the default extension is
// appended when the user types a name without one. Paths are local 8-bit
// file names. An empty optional means the user cancelled. With
// confirmOverwrite the save dialog itself asks before an existing file is
// chosen; a caller that asks its own question (the project's Save does, in
// the designer's message box) passes false so that the user is asked once.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    virtual std::optional<std::string> getOpenFileName(std::string_view title, std::string_view filter,
                                                       std::string_view defaultExtension) = 0;
    virtual std::optional<std::string> getSaveFileName(std::string_view title, std::string_view filter,
                                                       std::string_view defaultExtension,
                                                       std::string_view initialName,
                                                       bool confirmOverwrite) = 0;
};

} // namespace qvt
