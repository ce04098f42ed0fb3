#include "cli/commands.h"
#include "core/headless_messages.h"
#include "compiler/compile_driver.h"
#include "compiler/image_layout.h"
#include "project/project_file.h"

#include <QFile>

#include <cstdio>
#include <string>

namespace qvt::cli {

namespace {

const char kCompileUsage[] =
    "usage: qvt compile PROJECT.zmk [-o IMAGE]\n"
    "\n"
    "Compiles the project's four machines, variables, timers, version and label\n"
    "into the terminal image, as the designer's Compile command does, without\n"
    "its questions. On success prints one summary line.\n"
    "  -o, --output IMAGE  write the image here (default: the project's path with\n"
    "                      its extension replaced by ITF)\n"
    "\n"
    "Errors of items are printed one per line as\n"
    "  PROJECT.zmk: MACHINE: item ID: TEXT\n"
    "for the first machine that has any; no image is written then.\n"
    "\n"
    "Exit status: 0 image written, 1 items with errors, 2 a limit of the image\n"
    "exceeded (the line says which, and where), the image could not be written,\n"
    "the project could not be read, or bad arguments.\n";

const char kCheckUsage[] =
    "usage: qvt check PROJECT.zmk\n"
    "\n"
    "Compiles all four machines of the project, each one even after a machine\n"
    "with errors, and prints every error as\n"
    "  PROJECT.zmk: MACHINE: item ID: TEXT\n"
    "and every exceeded limit of the image. Writes no file. A project without\n"
    "errors gets one summary line.\n"
    "\n"
    "Exit status: 0 no errors, 1 items with errors, 2 a limit exceeded, the\n"
    "project could not be read, or bad arguments.\n";

struct Options {
    std::string project;
    std::string image;
};

// Returns -1 after --help, 0 to go on, otherwise the exit code.
int Parse(const char* command, const char* usage, bool takesOutput, const QStringList& args, Options& options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(usage, stdout);
            return -1;
        }
        if (takesOutput && (a == "-o" || a == "--output")) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "qvt %s: %s needs a file name\n", command, qPrintable(a));
                return 2;
            }
            options.image = QFile::encodeName(args[++i]).toStdString();
        } else if (a.startsWith("-") && a.size() > 1) {
            std::fprintf(stderr, "qvt %s: unknown option %s\n", command, qPrintable(a));
            std::fputs(usage, stderr);
            return 2;
        } else if (options.project.empty()) {
            options.project = QFile::encodeName(a).toStdString();
        } else {
            std::fprintf(stderr, "qvt %s: only one project may be given\n", command);
            return 2;
        }
    }
    if (options.project.empty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    return 0;
}

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

} // namespace

int runCompile(const QStringList& args)
{
    Options options;
    if (int code = Parse("compile", kCompileUsage, true, args, options))
        return code < 0 ? 0 : code;

    ProjectState project;
    StderrMessages messages(options.project);
    if (!Load(options.project, project, messages))
        return 2;

    CompileSettings settings = CompileSettings::ForProject(project);
    settings.imagePath = options.image.empty() ? DefaultImagePath(options.project) : options.image;
    const CompileResult result = CompileProject(project, settings, messages);
    switch (result.outcome) {
    case CompileOutcome::ImageWritten:
        std::printf("%s: wrote %s, %zu bytes, checksum 0x%04X\n", options.project.c_str(), result.imagePath.c_str(),
                    result.image.size(), unsigned(ImageChecksum(result.image)));
        return 0;
    case CompileOutcome::ErrorsInMachine:
        PrintErrors(options.project, result.machine, result.errors);
        return 1;
    case CompileOutcome::CompileFailed:
        PrintFailure(options.project, result.reason);
        return 2;
    }
    return 2;
}

int runCheck(const QStringList& args)
{
    Options options;
    if (int code = Parse("check", kCheckUsage, false, args, options))
        return code < 0 ? 0 : code;

    ProjectState project;
    StderrMessages messages(options.project);
    if (!Load(options.project, project, messages))
        return 2;

    const ProjectCheck check = CheckProject(project, CompileSettings::ForProject(project), messages);
    int errorCount = 0;
    for (const MachineCheck& m : check.machines) {
        PrintErrors(options.project, m.machine, m.errors);
        errorCount += m.errors.count();
        if (m.failure)
            PrintFailure(options.project, *m.failure);
    }
    if (check.imageFailure)
        PrintFailure(options.project, *check.imageFailure);
    if (check.hasFailures())
        return 2;
    if (errorCount != 0)
        return 1;
    std::printf("%s: no errors\n", options.project.c_str());
    return 0;
}

} // namespace qvt::cli
