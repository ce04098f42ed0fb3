#include "project/project_file.h"

#include "label/label_compiler.h"
#include "core/atomic_file.h"
#include "core/cp1254.h"
#include "core/decimal.h"
#include "core/read_file.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>

namespace qvt {

namespace {

constexpr int kHeaderLines = 11;  // lines 0..10
constexpr int kStoredVariables = 115;

void appendLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.append("\r\n");
}

// Lines end with CR LF; a file edited on Linux may end them with LF alone.
// A CR elsewhere in a line is part of the value and is kept.
std::vector<std::string_view> splitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        size_t stop = end == std::string_view::npos ? bytes.size() : end;
        if (stop > start && bytes[stop - 1] == '\r' && end != std::string_view::npos)
            --stop;
        lines.push_back(bytes.substr(start, stop - start));
        start = next;
    }
    return lines;
}

} // namespace

std::string ProjectFileBytes(const ProjectState& project)
{
    const auto& machines = *project.machineTexts;
    std::string out;
    appendLine(out, kProjectFormatVersion);
    appendLine(out, project.versionText);
    appendLine(out, std::to_string(project.gridColumns));
    appendLine(out, std::to_string(project.gridRows));
    appendLine(out, std::to_string(project.onlineTimerInterval));
    appendLine(out, std::to_string(project.offlineTimerInterval));
    appendLine(out, std::to_string(kStoredVariables));
    for (const MachineText& text : machines)
        appendLine(out, std::to_string(text.size()));
    for (int i = 1; i <= kStoredVariables; ++i) {
        appendLine(out, project.variables[i].name);
        appendLine(out, project.variables[i].initialValue);
    }
    for (const MachineText& text : machines)
        for (const std::string& line : text)
            appendLine(out, line);
    appendLine(out, project.labelText);
    return out;
}

bool WriteProjectFile(const std::string& path, const ProjectState& project)
{
    return project.isOpen() && WriteFileAtomically(path, ProjectFileBytes(project));
}

LoadResult LoadProjectFile(const std::string& path, ProjectState& project, Messages& messages)
{
    project.machineTexts.emplace();
    project.ResetVariables();

    // The project left open after a format error is empty. It does not take
    // the refused file's name: a later Save must ask for a name instead of
    // writing the empty project over the file that could not be read (a file
    // of a newer version, say). Any unsaved work was dealt with before the
    // file was chosen, so it is marked saved, and no save question offers to
    // write it anywhere either.
    auto formatError = [&](std::string_view message) {
        messages.ShowError(message);
        project.projectFileName.clear();
        project.modified = false;
        return LoadResult::FormatError;
    };
    auto loadError = [&] {
        messages.ShowError(kMsgLoadError);
        project.closeProject();
        return LoadResult::LoadError;
    };

    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes)
        return loadError();
    const std::vector<std::string_view> lines = splitLines(*bytes);

    if (lines.size() < 12 || lines[0] != kProjectFormatVersion)
        return formatError(kMsgIncorrectVersion);

    project.versionText = std::string(lines[1]);
    int* const stored[] = {&project.gridColumns, &project.gridRows, &project.onlineTimerInterval,
                           &project.offlineTimerInterval};
    int counts[5] = {};  // N, M1..M4
    for (int line = 2; line <= 10; ++line) {
        const std::optional<int> parsed = ParseDecimal(lines[line]);
        if (!parsed)
            return formatError(kMsgIncorrectFormat);
        const int value = *parsed;
        if (line <= 5)
            *stored[line - 2] = value;
        else
            counts[line - 6] = value;
    }

    // Negative counts could make the sum match while pointing the readers back
    // into the header; such a file is as malformed as a wrong count.
    int64_t expected = 12 + 2 * int64_t(counts[0]);
    bool negative = false;
    for (int i = 0; i < 5; ++i) {
        negative |= counts[i] < 0;
        if (i > 0)
            expected += counts[i];
    }
    if (negative || expected != int64_t(lines.size()))
        return formatError(kMsgIncorrectFormat);

    const int variableCount = counts[0];
    if (variableCount > kStoredVariables)
        return loadError();

    size_t next = kHeaderLines;
    for (int i = 1; i <= variableCount; ++i) {
        project.variables[i].name = std::string(lines[next++]);
        project.variables[i].initialValue = std::string(lines[next++]);
    }
    for (int m = 0; m < 4; ++m) {
        MachineText& text = (*project.machineTexts)[m];
        text.reserve(size_t(counts[m + 1]));
        for (int i = 0; i < counts[m + 1]; ++i)
            text.emplace_back(lines[next++]);
    }
    project.labelText = std::string(lines[next]);
    project.projectFileName = path;
    if (!CompileProjectLabel(project))
        messages.ShowError(project.labelData);

    project.modified = false;
    return LoadResult::Opened;
}

bool ConfirmDiscardChanges(ProjectSession& session)
{
    if (!session.project.HasUnsavedChanges())
        return true;
    int answer = session.messages.AskYesNoCancel(kConfirmTitle, kSaveChangesQuestion);
    if (answer == AnswerYes)
        return SaveProject(session, false);
    return answer == AnswerNo;
}

std::string ReplaceFileQuestion(const std::string& path)
{
    // Paths are local 8-bit names; messages are code page bytes.
    return toCp1254(QFile::decodeName(path.c_str())) + " already exists.\r\nDo you want to replace it?";
}

namespace {

// The save dialog, then the question before an existing file is replaced. No
// brings the dialog back on the chosen name so that another can be picked;
// cancelling the dialog gives nothing. The dialog itself is told not to ask,
// so the question comes once, in the designer's own box, whichever dialog the
// platform shows.
std::optional<std::string> chooseSaveFileName(ProjectSession& session)
{
    std::string initial = session.project.projectFileName;
    for (;;) {
        std::optional<std::string> path = session.dialogs.getSaveFileName(
            kSaveProjectTitle, kProjectFileFilter, kProjectFileExtension, initial, false);
        if (!path || !QFileInfo::exists(QFile::decodeName(path->c_str())))
            return path;
        if (session.messages.AskYesNo(kConfirmTitle, ReplaceFileQuestion(*path)) == AnswerYes)
            return path;
        initial = *path;
    }
}

} // namespace

bool SaveProject(ProjectSession& session, bool saveAs)
{
    ProjectState& project = session.project;
    if (!project.isOpen())
        return false;
    if (saveAs || project.projectFileName.empty()) {
        const std::optional<std::string> path = chooseSaveFileName(session);
        if (!path)
            return false;
        project.projectFileName = *path;
        session.view.refreshTitle();
    }
    if (!WriteProjectFile(project.projectFileName, project)) {
        session.messages.ShowError(kMsgSaveError);
        return false;
    }
    project.modified = false;
    // The title shows the version as it was saved.
    session.view.refreshTitle();
    return true;
}

void OpenProject(ProjectSession& session)
{
    if (!ConfirmDiscardChanges(session))
        return;
    auto path = session.dialogs.getOpenFileName(kOpenProjectTitle, kProjectFileFilter, kProjectFileExtension);
    if (!path)
        return;
    switch (LoadProjectFile(*path, session.project, session.messages)) {
    case LoadResult::Opened:
        session.view.setProjectCommandsEnabled(true);
        break;
    case LoadResult::FormatError:
        session.view.refreshTitle();
        break;
    case LoadResult::LoadError:
        session.view.setProjectCommandsEnabled(false);
        break;
    }
}

} // namespace qvt
