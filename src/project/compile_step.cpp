#include "project/compile_step.h"

namespace qvt {

bool CompileStep(ProjectSession& session, const ShowMachineErrors& showErrors, std::string* imagePath)
{
    ProjectState& project = session.project;
    if (project.HasUnsavedChanges()) {
        const int answer = session.messages.AskYesNo(kConfirmTitle, kSaveChangesQuestion);
        if (answer == AnswerYes) {
            if (!SaveProject(session, false))
                return false;
        } else if (answer != AnswerNo) {
            return false;
        }
    }

    const CompileResult result = CompileProject(project, CompileSettings::ForProject(project), session.messages);
    switch (result.outcome) {
    case CompileOutcome::ImageWritten:
        if (imagePath)
            *imagePath = result.imagePath;
        return true;
    case CompileOutcome::ErrorsInMachine:
        if (showErrors)
            showErrors(result.machine, result.errors);
        return false;
    case CompileOutcome::CompileFailed:
        // A limit or a failed write ends the step without a message of its own.
        return false;
    }
    return false;
}

std::string DescribeMachineErrors(MachineId machine, const ErrorList& errors)
{
    std::string out;
    for (const ErrorRecord& e : errors.records()) {
        if (!out.empty())
            out += "\r\n";
        out += std::string(machineName(machine)) + ": item " + std::to_string(e.id) + ": " +
               std::string(ErrorText(e.code));
    }
    return out;
}

} // namespace qvt
