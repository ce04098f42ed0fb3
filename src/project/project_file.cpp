#include "project/project_file.h"

#include "label/label_compiler.h"
#include "core/atomic_file.h"
#include "core/decimal.h"
#include "core/read_file.h"

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
    project.projectFileName = path;

    // The project left open after a format error is empty and carries the bad
    // file's name. Any unsaved work was dealt with before the file was chosen,
    // so it is marked saved: a later save question must not offer to write the
    // empty project over the file the user meant to open.
    auto formatError = [&](std::string_view message) {
        messages.ShowError(message);
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

bool SaveProject(ProjectSession& session, bool saveAs)
{
    ProjectState& project = session.project;
    if (!project.isOpen())
        return false;
    if (saveAs || project.projectFileName.empty()) {
        auto path = session.dialogs.getSaveFileName(kSaveProjectTitle, kProjectFileFilter, kProjectFileExtension,
                                                    project.projectFileName, saveAs);
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
