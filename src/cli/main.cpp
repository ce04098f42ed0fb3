#include "cli/commands.h"

#include <QCoreApplication>

#include <array>

int main(int argc, char** argv)
{
    using namespace qvt::cli;
    static const std::array<const Command*, 7> commands{
        &kCompileCommand, &kCheckCommand,    &kLabelCommand,  &kUploadCommand,
        &kPortsCommand,   &kSimulateCommand, &kRenderCommand,
    };
    const std::unique_ptr<QCoreApplication> app = ApplicationForCommand(argc, argv);
    return runTool(argc, argv, commands);
}
