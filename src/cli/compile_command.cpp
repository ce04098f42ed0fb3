#include "cli/commands.h"
#include "core/headless_messages.h"
#include "compiler/compile_driver.h"
#include "compiler/image_layout.h"
#include "project/project_file.h"

#include <cstdio>
#include <string>

namespace qvt::cli {

namespace {

// "dir/stock.zmk" gives "dir/stock.ITF"; a name without an extension gets one.
// This differs on purpose from the designer's rule (ImageFileNameFor), which
// replaces the last three characters: the designer's dialogs always give a
// ".zmk" name, for which both agree, while a path typed here may carry a longer
// extension or none, and cutting three characters off "stock" or "a.project"
// would name the image after a broken stem.
std::string DefaultImagePath(const std::string& project)
{
    const size_t slash = project.rfind('/');
    const size_t dot = project.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? project.substr(0, dot) : project) + ".ITF";
}

// Reads the project; its own messages go to stderr under the project's name.
bool Load(const std::string& path, ProjectState& project, StderrMessages& messages)
{
    return LoadProjectFile(path, project, messages) == LoadResult::Opened;
}

void PrintErrors(const std::string& project, MachineId machine, const ErrorList& errors)
{
    for (const ErrorRecord& e : errors.records())
        std::fprintf(stderr, "%s: %s: item %d: %.*s\n", project.c_str(), machineName(machine), e.id,
                     int(ErrorText(e.code).size()), ErrorText(e.code).data());
}

void PrintFailure(const std::string& project, const std::string& reason)
{
    std::fprintf(stderr, "%s: %s\n", project.c_str(), reason.c_str());
}

int runCompile(const Invocation& invocation)
{
    const std::string path = invocation.argument(0);
    ProjectState project;
    StderrMessages messages(path);
    if (!Load(path, project, messages))
        return 2;

    CompileSettings settings = CompileSettings::ForProject(project);
    settings.imagePath = invocation.isSet("output") ? invocation.path("output") : DefaultImagePath(path);
    const CompileResult result = CompileProject(project, settings, messages);
    switch (result.outcome) {
    case CompileOutcome::ImageWritten:
        std::printf("%s: wrote %s, %zu bytes, checksum 0x%04X\n", path.c_str(), result.imagePath.c_str(),
                    result.image.size(), unsigned(ImageChecksum(result.image)));
        return 0;
    case CompileOutcome::ErrorsInMachine:
        PrintErrors(path, result.machine, result.errors);
        return 1;
    case CompileOutcome::CompileFailed:
        PrintFailure(path, result.reason);
        return 2;
    }
    return 2;
}

int runCheck(const Invocation& invocation)
{
    const std::string path = invocation.argument(0);
    ProjectState project;
    StderrMessages messages(path);
    if (!Load(path, project, messages))
        return 2;

    const ProjectCheck check = CheckProject(project, CompileSettings::ForProject(project), messages);
    int errorCount = 0;
    for (const MachineCheck& m : check.machines) {
        PrintErrors(path, m.machine, m.errors);
        errorCount += m.errors.count();
        if (m.failure)
            PrintFailure(path, *m.failure);
    }
    if (check.imageFailure)
        PrintFailure(path, *check.imageFailure);
    if (check.hasFailures())
        return 2;
    if (errorCount != 0)
        return 1;
    std::printf("%s: no errors\n", path.c_str());
    return 0;
}

} // namespace

const Argument kProjectArgument{"PROJECT.zmk", "the project file"};

const Command kCompileCommand{
    "compile",
    "compile a project into its terminal image",
    "Compiles the project's four machines, variables, timers, version and label into the terminal image, as the "
    "designer's Compile command does, without its questions. On success prints one summary line.\n"
    "\n"
    "Errors of items are printed one per line as\n"
    "  PROJECT.zmk: MACHINE: item ID: TEXT\n"
    "for the first machine that has any; no image is written then.",
    {kProjectArgument},
    {{{"o", "output"},
      "IMAGE",
      "write the image here (default: the project's path with its extension replaced by ITF)"}},
    "0 image written, 1 items with errors, 2 a limit of the image exceeded (the line says which, and where), the "
    "image could not be written, the project could not be read, or bad arguments.",
    runCompile,
};

const Command kCheckCommand{
    "check",
    "check all four machines of a project and list every error",
    "Compiles all four machines of the project, each one even after a machine with errors, and prints every error "
    "as\n"
    "  PROJECT.zmk: MACHINE: item ID: TEXT\n"
    "and every exceeded limit of the image. Writes no file. A project without errors gets one summary line.",
    {kProjectArgument},
    {},
    "0 no errors, 1 items with errors, 2 a limit exceeded, the project could not be read, or bad arguments.",
    runCheck,
};

} // namespace qvt::cli
