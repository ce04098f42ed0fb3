#pragma once

#include "core/file_dialogs.h"
#include "core/messages.h"
#include "core/project_state.h"

#include <string>
#include <string_view>

namespace qvt {

// The project file (".zmk"): "V101", the header, 115 name/value pairs, the four
// machine texts in storage order and the label text, one value per line, CR LF
// after every line. Bytes are written exactly as they stand in memory.

inline constexpr std::string_view kProjectFormatVersion = "V101";
inline constexpr std::string_view kProjectFileFilter = "Visual QVT Design File|*.zmk|All Files|*.*";
inline constexpr std::string_view kProjectFileExtension = "zmk";
inline constexpr std::string_view kOpenProjectTitle = "Select the design file...";
inline constexpr std::string_view kSaveProjectTitle = "Design FileName";

inline constexpr std::string_view kMsgIncorrectVersion = "Incorrect version or file format.";
inline constexpr std::string_view kMsgIncorrectFormat = "Incorrect file format.";
inline constexpr std::string_view kMsgLoadError = "Error while loading file.";
inline constexpr std::string_view kMsgSaveError = "Unexpected error while saving file.";

// The project file's bytes for the open project. Precondition: a project is open.
std::string ProjectFileBytes(const ProjectState& project);

// Writes the project file atomically (temporary file, then rename): a failed
// write leaves an existing file untouched. Returns false on failure.
bool WriteProjectFile(const std::string& path, const ProjectState& project);

enum class LoadResult {
    Opened,       // project open, label compiled (its error, if any, already shown)
    FormatError,  // empty, unmodified project left open without a file name; header values read so far applied
    LoadError,    // nothing open any more, as after Close
};

// Open's work on a chosen file: clears the machines, resets the variables,
// reads and checks the file, takes its name once it has been read, and
// rebuilds the compiled label. A refused file's name is never kept. Every failure is shown through `messages`. Used by the designer and
// by the command-line tool.
LoadResult LoadProjectFile(const std::string& path, ProjectState& project, Messages& messages);

// What the main window shows of the project: its title and whether the project
// commands are enabled. Enabling or disabling the commands recomputes the title.
class ProjectView {
public:
    virtual ~ProjectView() = default;
    virtual void refreshTitle() = 0;
    virtual void setProjectCommandsEnabled(bool enabled) = 0;
};

// Everything the project commands work with.
struct ProjectSession {
    ProjectState& project;
    Messages& messages;
    FileDialogs& dialogs;
    ProjectView& view;
};

// Save and Save as. Returns true when the file was written. Whenever the save
// dialog is shown (Save as, a project never saved, Yes to a save question), a
// chosen file that exists is replaced only after Yes to ReplaceFileQuestion.
bool SaveProject(ProjectSession& session, bool saveAs);

// "<path> already exists." and "Do you want to replace it?" on two lines.
std::string ReplaceFileQuestion(const std::string& path);

// Open: save question, open dialog, then LoadProjectFile.
void OpenProject(ProjectSession& session);

// The save question before discarding work: true when the command may go on
// (no unsaved changes, answered No, or answered Yes and the save succeeded).
bool ConfirmDiscardChanges(ProjectSession& session);

} // namespace qvt
