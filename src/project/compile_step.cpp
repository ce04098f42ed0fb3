#include "project/compile_step.h"

namespace qvt {

namespace {

// Passes every box on and remembers whether an error box was shown.
class ErrorWatch : public Messages {
public:
    explicit ErrorWatch(Messages& inner) : inner_(inner) {}
    bool errorShown = false;

    int AskYesNo(std::string_view title, std::string_view message) override
    {
        return inner_.AskYesNo(title, message);
    }
    int AskYesNoCancel(std::string_view title, std::string_view message) override
    {
        return inner_.AskYesNoCancel(title, message);
    }
    void ShowInfo(std::string_view title, std::string_view message) override { inner_.ShowInfo(title, message); }
    void ShowError(std::string_view message) override
    {
        errorShown = true;
        inner_.ShowError(message);
    }
    bool AskInteger(int& value, std::string_view title) override { return inner_.AskInteger(value, title); }
    bool AskText(std::string& text, std::string_view title) override { return inner_.AskText(text, title); }
    bool SelectVariable(int maxLength, int& variableIndex, int& length) override
    {
        return inner_.SelectVariable(maxLength, variableIndex, length);
    }

private:
    Messages& inner_;
};

} // namespace

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

    ErrorWatch messages(session.messages);
    const CompileResult result = CompileProject(project, CompileSettings::ForProject(project), messages);
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
        // A limit or a failed write: say which, as the command-line compile
        // does, unless the compile has already shown its own error box
        // ("Could not create the file..."). Ending silently left the user
        // clicking Compile with nothing happening.
        if (!messages.errorShown)
            session.messages.ShowError(result.reason);
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
