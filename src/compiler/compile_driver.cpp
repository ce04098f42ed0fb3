#include "compiler/compile_driver.h"

#include "compiler/compile_failure.h"
#include "compiler/image_builder.h"
#include "label/label_compiler.h"
#include "model/items_list.h"

#include <memory>

namespace qvt {

namespace {

constexpr MachineId kCompileOrder[4] = {MachineId::Online, MachineId::OnlineTimer, MachineId::Offline,
                                        MachineId::OfflineTimer};

std::string MachineTextProblem(const MachineTextError& error)
{
    std::string text = "line " + std::to_string(error.lineIndex + 1) + " of the machine text: ";
    if (error.recordRefused)
        return text + "text follows the record's end mark";
    return text + "item id " + std::to_string(error.id) + " is outside 1.." + std::to_string(kMaxItemId);
}

// Builds the machine's items from its text and compiles them into `builder`.
// Throws CompileFailure (with the machine set) for an unreadable text too.
void CompileMachineText(TIT& builder, const ProjectState& project, MachineId machine, ErrorList& errors,
                        Messages& messages)
{
    std::optional<TitcItemsList> items;
    try {
        items.emplace(project.machineText(machine), messages);
    } catch (const MachineTextError& error) {
        CompileFailure failure(MachineTextProblem(error));
        failure.machine = machine;
        throw failure;
    }
    builder.CompileMachine(machine, *items, errors);
}

// The compiled label is copied into the image as it stands. When the label
// text failed to compile on opening the project, what stands there is the
// failure's message, which must not go to the terminal as its label. A label
// window whose compile failed empties the compiled label instead, after
// telling the user; such a project compiles without a label.
void CheckLabelCompiles(const ProjectState& project)
{
    if (project.labelData.empty())
        return;
    ProjectState label;
    label.variables = project.variables;
    label.labelText = project.labelText;
    if (!CompileProjectLabel(label)) {
        std::string reason;
        for (char c : label.labelData)
            reason += c == '\r' || c == '\n' ? ' ' : c;
        throw CompileFailure("the label does not compile: " + reason);
    }
}

CompileResult Failed(std::string reason)
{
    CompileResult result;
    result.outcome = CompileOutcome::CompileFailed;
    result.reason = std::move(reason);
    return result;
}

CompileResult Compile(const ProjectState& project, const CompileSettings& settings, Messages& messages,
                      bool writeFile)
{
    if (!project.isOpen())
        return Failed("no project is open");
    try {
        auto builder = std::make_unique<TIT>(settings.fileName, settings.version);
        CompileResult result;
        for (MachineId machine : kCompileOrder) {
            CompileMachineText(*builder, project, machine, result.errors, messages);
            if (!result.errors.empty()) {
                result.outcome = CompileOutcome::ErrorsInMachine;
                result.machine = machine;
                return result;
            }
        }
        CheckLabelCompiles(project);
        if (writeFile) {
            result.imagePath = settings.imagePath.empty() ? builder->ImageFileName() : settings.imagePath;
            result.image = builder->WriteImageFile(project, settings.onlineTimerInterval,
                                                   settings.offlineTimerInterval, messages, result.imagePath);
        } else {
            result.image = builder->LayoutImage(project.variables, project.labelData, settings.onlineTimerInterval,
                                                settings.offlineTimerInterval);
        }
        result.outcome = CompileOutcome::ImageWritten;
        return result;
    } catch (const CompileFailure& failure) {
        return Failed(failure.describe());
    }
}

} // namespace

CompileSettings CompileSettings::ForProject(const ProjectState& project)
{
    CompileSettings settings;
    settings.fileName = project.projectFileName.empty() ? "noname.itf" : project.projectFileName;
    settings.version = project.versionText;
    settings.onlineTimerInterval = project.onlineTimerInterval;
    settings.offlineTimerInterval = project.offlineTimerInterval;
    return settings;
}

CompileResult CompileProject(const ProjectState& project, const CompileSettings& settings, Messages& messages)
{
    return Compile(project, settings, messages, true);
}

CompileResult CompileProjectImage(const ProjectState& project, const CompileSettings& settings, Messages& messages)
{
    return Compile(project, settings, messages, false);
}

CheckResult CheckMachine(MachineId machine, const TitcItemsList& items)
{
    CheckResult result;
    auto builder = std::make_unique<TIT>("temp", "IT111");
    try {
        builder->CompileMachine(machine, items, result.errors, true);
    } catch (const CompileFailure& failure) {
        result.failure = failure.describe();
    }
    return result;
}

bool ProjectCheck::hasErrors() const
{
    for (const MachineCheck& m : machines)
        if (!m.errors.empty())
            return true;
    return false;
}

bool ProjectCheck::hasFailures() const
{
    if (imageFailure)
        return true;
    for (const MachineCheck& m : machines)
        if (m.failure)
            return true;
    return false;
}

ProjectCheck CheckProject(const ProjectState& project, const CompileSettings& settings, Messages& messages)
{
    ProjectCheck check;
    if (!project.isOpen()) {
        check.imageFailure = "no project is open";
        return check;
    }
    auto builder = std::make_unique<TIT>(settings.fileName, settings.version);
    for (int i = 0; i < 4; ++i) {
        MachineCheck& m = check.machines[size_t(i)];
        m.machine = kCompileOrder[i];
        try {
            // A timer machine whose main machine failed is checked on its own.
            CompileMachineText(*builder, project, m.machine, m.errors, messages);
        } catch (const CompileFailure& failure) {
            m.failure = failure.describe();
        }
    }
    if (!check.hasErrors() && !check.hasFailures()) {
        try {
            CheckLabelCompiles(project);
            builder->LayoutImage(project.variables, project.labelData, settings.onlineTimerInterval,
                                 settings.offlineTimerInterval);
        } catch (const CompileFailure& failure) {
            check.imageFailure = failure.describe();
        }
    }
    return check;
}

} // namespace qvt
